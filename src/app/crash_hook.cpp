#include "app/crash_hook.h"

#include <csignal>
#include <cstdlib>
#include <string>

#include "settings/forwarding_file_system.h"

namespace keelnode {
namespace {

// Forwards everything; with a limit, kills the process right after the
// limit's replaced file.
class CrashAfterReplacements final : public ForwardingFileSystem {
 public:
  CrashAfterReplacements(FileSystem& files, long limit)
      : ForwardingFileSystem(files), left_(limit) {}

  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    const bool replaced = files().ReplaceFile(path, bytes);
    if (replaced && left_ > 0 && --left_ == 0) std::raise(SIGKILL);
    return replaced;
  }

 private:
  long left_;  // 0: no limit
};

}  // namespace

std::unique_ptr<FileSystem> DataFileSystem(FileSystem& files) {
  long limit = 0;
#ifdef KEELNODE_CRASH_HOOK
  const char* setting = std::getenv("KEELNODE_CRASH_AFTER_DATA_FILES");
  limit = setting != nullptr ? std::strtol(setting, nullptr, 10) : 0;
#endif
  return std::make_unique<CrashAfterReplacements>(files, limit < 0 ? 0 : limit);
}

}  // namespace keelnode
