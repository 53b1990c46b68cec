// A file system that passes every operation on to another one; wrappers
// that watch or change a few operations override just those.
#pragma once

#include <string>

#include "settings/file_system.h"

namespace keelnode {

class ForwardingFileSystem : public FileSystem {
 public:
  // `files` must outlive this object.
  explicit ForwardingFileSystem(FileSystem& files) : files_(files) {}

  std::optional<std::string> ReadFile(const std::string& path) override {
    return files_.ReadFile(path);
  }
  std::optional<FileStamp> Stat(const std::string& path) override { return files_.Stat(path); }
  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    return files_.ReplaceFile(path, bytes);
  }
  void RemoveLeftovers(const std::string& path) override { files_.RemoveLeftovers(path); }
  bool RemoveFile(const std::string& path) override { return files_.RemoveFile(path); }
  bool MakeDirectory(const std::string& path) override { return files_.MakeDirectory(path); }
  bool CanChangeNamesIn(const std::string& directory) override {
    return files_.CanChangeNamesIn(directory);
  }
  OpenedFile OpenForEditing(const std::string& path) override {
    return files_.OpenForEditing(path);
  }

 protected:
  FileSystem& files() { return files_; }

 private:
  FileSystem& files_;
};

}  // namespace keelnode
