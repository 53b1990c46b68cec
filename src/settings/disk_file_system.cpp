// POSIX implementation of the settings store's file layer.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "settings/file_system.h"
#include "settings/unique_fd.h"

namespace keelnode {
namespace {

// Opens only regular files: a FIFO or device under the settings name must
// not block or stream forever.
UniqueFd OpenRegular(const std::string& path, int flags, mode_t mode = 0) {
  UniqueFd fd(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode));
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return UniqueFd();
  return fd;
}

bool WriteAll(int fd, uint64_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

std::string ParentDirectory(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncDirectory(const std::string& dir) {
  UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.valid() && ::fsync(fd.get()) == 0;
}

class DiskFile final : public EditableFile {
 public:
  explicit DiskFile(UniqueFd fd) : fd_(std::move(fd)) {}
  bool WriteAt(uint64_t offset, std::string_view bytes) override {
    return WriteAll(fd_.get(), offset, bytes);
  }
  bool Truncate(uint64_t size) override {
    return ::ftruncate(fd_.get(), static_cast<off_t>(size)) == 0;
  }
  bool Sync() override { return ::fsync(fd_.get()) == 0; }

 private:
  UniqueFd fd_;  // the flock lives as long as this descriptor
};

class RealFileSystem final : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& path) override {
    UniqueFd fd = OpenRegular(path, O_RDONLY);
    if (!fd.valid()) return std::nullopt;
    std::string content;
    struct stat st;
    if (::fstat(fd.get(), &st) == 0 && st.st_size > 0)
      content.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
      ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return std::nullopt;
      if (n == 0) return content;
      content.append(buffer, static_cast<size_t>(n));
    }
  }

  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    // Written beside the target and renamed over it, so a crash leaves
    // either the old file or the new one.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    UniqueFd fd;
    for (int attempt = 0; attempt < 8 && !fd.valid(); ++attempt) {
      temp = path + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
      fd = UniqueFd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!fd.valid() && errno != EEXIST) return false;
    }
    if (!fd.valid()) return false;
    bool ok = WriteAll(fd.get(), 0, bytes) && ::fsync(fd.get()) == 0;
    fd.Reset();
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
      ::unlink(temp.c_str());
      return false;
    }
    return SyncDirectory(ParentDirectory(path));
  }

  bool RemoveFile(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  }

  bool MakeDirectory(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  OpenedFile OpenForEditing(const std::string& path) override {
    UniqueFd fd = OpenRegular(path, O_RDWR | O_CREAT, 0666);
    if (!fd.valid()) return {};
    // flock locks belong to the open file description, so a second open in
    // this process conflicts just as another process does.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) return {OpenResult::kLockedByOther, nullptr};
      return {};
    }
    return {OpenResult::kOpened, std::make_unique<DiskFile>(std::move(fd))};
  }
};

}  // namespace

FileSystem& DiskFileSystem() {
  static RealFileSystem instance;
  return instance;
}

}  // namespace keelnode
