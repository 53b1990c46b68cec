#include "app/crash_hook.h"

#include <csignal>
#include <cstdlib>
#include <string>

namespace keelnode {
namespace {

// Forwards everything; with a limit, kills the process right after the
// limit's replaced file.
class CrashAfterReplacements final : public FileSystem {
 public:
  CrashAfterReplacements(FileSystem& files, long limit) : files_(files), left_(limit) {}

  std::optional<std::string> ReadFile(const std::string& path) override {
    return files_.ReadFile(path);
  }
  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    const bool replaced = files_.ReplaceFile(path, bytes);
    if (replaced && left_ > 0 && --left_ == 0) std::raise(SIGKILL);
    return replaced;
  }
  bool RemoveFile(const std::string& path) override { return files_.RemoveFile(path); }
  bool MakeDirectory(const std::string& path) override { return files_.MakeDirectory(path); }
  OpenedFile OpenForEditing(const std::string& path) override {
    return files_.OpenForEditing(path);
  }

 private:
  FileSystem& files_;
  long left_;  // 0: no limit
};

}  // namespace

std::unique_ptr<FileSystem> DataFileSystem(FileSystem& files) {
  const char* setting = std::getenv("KEELNODE_CRASH_AFTER_DATA_FILES");
  const long limit = setting != nullptr ? std::strtol(setting, nullptr, 10) : 0;
  return std::make_unique<CrashAfterReplacements>(files, limit < 0 ? 0 : limit);
}

}  // namespace keelnode
