#include "app/input_text.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "services/code_page.h"

namespace keelnode {

std::string InputBytesToText(std::string_view bytes) {
  bytes = CutAtZero(bytes);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return Utf8ToGb18030(bytes);
  return std::string(bytes);
}

namespace {

// Owns a file descriptor.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadWholeDescriptor(int fd, std::string& bytes, std::string* error) {
  bytes.clear();
  struct stat info;
  if (fstat(fd, &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      *error = "is a directory";
      return false;
    }
    if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<size_t>(info.st_size));
  }
  char chunk[1 << 16];
  while (true) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = std::strerror(errno);
      return false;
    }
    bytes.append(chunk, static_cast<size_t>(n));
  }
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    *error = std::strerror(errno);
    return false;
  }
  return ReadWholeDescriptor(fd.get(), bytes, error);
}

}  // namespace keelnode
