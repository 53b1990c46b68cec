// Copies of the tabs' texts kept while the program runs, so that a crash, a
// kill or a power cut loses none of them.
//
// The data files are written only when the window closes. Until then each
// tab's text, once loaded, is also kept in the folder "恢复" inside the data
// folder, under its data file's name, written whole (a crash leaves the old
// copy or the new one) on a thread of its own. A clean close removes the
// copies; a start after an unclean exit finds those newer than their data
// files. Only the instance that may write the data folder touches them.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/background_writer.h"
#include "app/tab_data_files.h"
#include "settings/file_system.h"

namespace keelnode {

class RecoveryCopies {
 public:
  struct Recovered {
    int tabNumber;
    std::string text;
  };

  // `files` must outlive this object and be safe to use from another thread.
  RecoveryCopies(FileSystem& files, std::string dataDir);

  std::string folder() const { return folder_; }
  std::string path(int tabNumber) const;

  // The copies that hold another text than their tab's data file and were
  // written after it (or the data file is missing), in tab order.
  std::vector<Recovered> findNewer(const TabDataFiles& dataFiles) const;
  // Temporary files of copies whose writer was killed.
  void removeLeftovers();

  // Keeps `text` as the tab's copy, in the background (without a copy of
  // the text: it must never change).
  void keep(int tabNumber, std::shared_ptr<const std::string> text);
  // The tab's text is what its data file holds: it needs no copy.
  void drop(int tabNumber);
  // Waits for the background writes asked for so far.
  void flush() { writer_.flush(); }

  // For the close: waits for the copies asked for and ends the background
  // writes, so that a kill while the data files are written loses nothing.
  // Everything below works at once, on the caller's thread.
  void finish() {
    writer_.flush();
    writer_.stop();
  }
  bool keepNow(int tabNumber, std::string_view text);
  // Removes every copy but those of `kept` (tab numbers), and the folder
  // when nothing else is in it.
  void removeAllBut(const std::vector<int>& kept);

 private:
  bool makeFolder();

  FileSystem& files_;
  const std::string folder_;
  bool folderMade_ = false;
  std::atomic<bool> failureTold_{false};
  BackgroundWriter writer_;  // last: its thread may tell failures to the above
};

}  // namespace keelnode
