// The per-tab data files: each tab's raw text, byte for byte, in the run
// directory ("JSON数据.txt" for tab 1, "JSON数据2.txt" … "JSON数据7.txt").
#pragma once

#include <string>
#include <string_view>

#include "settings/file_system.h"

namespace keelnode {

class TabDataFiles {
 public:
  static constexpr int kCount = 7;  // one per tab

  // `files` must outlive this object.
  TabDataFiles(FileSystem& files, std::string directory);

  // The name without the folder.
  static std::string fileName(int tabNumber);
  std::string path(int tabNumber) const;
  // The file's bytes taken as text, up to its first zero byte (a text never
  // holds one); empty when the file is missing or cannot be read.
  std::string read(int tabNumber) const;
  // Replaces the file as a whole: a crash in the middle leaves the old
  // content or the new one, never a mix.
  bool write(int tabNumber, std::string_view text) const;
  // Removes the temporary files of writes that a kill stopped; only call
  // it while no other process may be writing the data files.
  void removeLeftovers() const;

 private:
  FileSystem& files_;
  std::string directory_;
};

}  // namespace keelnode
