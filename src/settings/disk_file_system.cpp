// POSIX implementation of the settings store's file layer.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <ctime>
#include <memory>
#include <string>

#include "services/unique_fd.h"
#include "settings/file_system.h"

namespace keelnode {
namespace {

constexpr int64_t kSecond = 1'000'000'000;
// Coarser than any local file system's time stamps (FAT has two seconds).
constexpr int64_t kStampGranularity = 2 * kSecond;
// A temporary file untouched this long is nobody's work in progress, even
// when its process number now belongs to another process.
constexpr int64_t kAbandoned = 3600 * kSecond;
// Symbolic links followed before giving up, as the kernel does.
constexpr int kMostLinks = 40;

int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * kSecond + t.tv_nsec;
}

int64_t Now() {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.device = static_cast<uint64_t>(st.st_dev);
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.modified_ns = Nanoseconds(st.st_mtim);
  stamp.changed_ns = Nanoseconds(st.st_ctim);
  stamp.settled = Now() - std::max(stamp.modified_ns, stamp.changed_ns) > kStampGranularity;
  return stamp;
}

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

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path a chain of symbolic links ends at; the target of a dangling link
// is where a new file goes.
std::string ResolveLinks(std::string path) {
  for (int followed = 0; followed < kMostLinks; ++followed) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) return path;
    link.resize(static_cast<size_t>(n));
    path = link.front() == '/' ? link : ParentDirectory(path) + "/" + link;
  }
  return path;
}

// "PID.N" of a temporary file's name; nothing for any other name.
std::optional<pid_t> WriterOf(std::string_view middle) {
  const size_t dot = middle.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot > 9 || dot + 1 == middle.size()) {
    return std::nullopt;
  }
  for (size_t k = 0; k < middle.size(); ++k) {
    if (k != dot && (middle[k] < '0' || middle[k] > '9')) return std::nullopt;
  }
  pid_t pid = 0;
  std::from_chars(middle.data(), middle.data() + dot, pid);
  return pid;
}

// Everything from the start of an open file.
std::optional<std::string> ReadWhole(int fd) {
  std::string content;
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(content.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return content;
    content.append(buffer, static_cast<size_t>(n));
  }
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
  std::optional<FileStamp> Stamp() override {
    struct stat st;
    if (::fstat(fd_.get(), &st) != 0) return std::nullopt;
    return StampOf(st);
  }
  std::optional<std::string> ReadAll() override { return ReadWhole(fd_.get()); }

 private:
  UniqueFd fd_;  // the flock lives as long as this descriptor
};

class RealFileSystem final : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& path) override {
    UniqueFd fd = OpenRegular(path, O_RDONLY);
    if (!fd.valid()) return std::nullopt;
    return ReadWhole(fd.get());
  }

  std::optional<FileStamp> Stat(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
  }

  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    // Written beside the target and renamed over it, so a crash leaves
    // either the old file or the new one.
    const std::string target = ResolveLinks(path);
    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::string temp;
    UniqueFd fd;
    for (int attempt = 0; attempt < 8 && !fd.valid(); ++attempt) {
      temp = target + "." + std::to_string(::getpid()) + "." + std::to_string(counter_++) + ".tmp";
      fd = UniqueFd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (!fd.valid() && errno != EEXIST) return false;
    }
    if (!fd.valid()) return false;
    if (replacing) {
      // Owner first: a change of owner clears the set-id bits.
      if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        [[maybe_unused]] int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
      }
      ::fchmod(fd.get(), old.st_mode & 07777);
    }
    bool ok = WriteAll(fd.get(), 0, bytes) && ::fsync(fd.get()) == 0;
    fd.Reset();
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
      ::unlink(temp.c_str());
      return false;
    }
    return SyncDirectory(ParentDirectory(target));
  }

  void RemoveLeftovers(const std::string& path) override {
    const std::string target = ResolveLinks(path);
    const std::string prefix = BaseName(target) + ".";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(ParentDirectory(target).c_str()), ::closedir);
    if (!dir) return;
    while (const struct dirent* entry = ::readdir(dir.get())) {
      const std::string_view name = entry->d_name;
      if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
      std::optional<pid_t> writer =
          WriterOf(name.substr(prefix.size(), name.size() - prefix.size() - 4));
      struct stat st;
      if (!writer || ::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
          !S_ISREG(st.st_mode) || !Abandoned(*writer, st)) {
        continue;
      }
      ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
  }

  bool RemoveFile(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
  }

  bool MakeDirectory(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool CanChangeNamesIn(const std::string& directory) override {
    return ::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
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

 private:
  // Whether the temporary file `st` of process `writer` is left over.
  bool Abandoned(pid_t writer, const struct stat& st) const {
    const int64_t modified = Nanoseconds(st.st_mtim);
    if (Now() - modified > kAbandoned) return true;
    // This process's own are in progress unless an earlier process of the
    // same number (a container's) wrote them.
    if (writer == ::getpid()) return modified < started_ - kStampGranularity;
    return ::kill(writer, 0) != 0 && errno == ESRCH;
  }

  const int64_t started_ = Now();
  std::atomic<unsigned> counter_{0};
};

}  // namespace

FileSystem& DiskFileSystem() {
  static RealFileSystem instance;
  return instance;
}

}  // namespace keelnode
