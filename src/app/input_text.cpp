#include "app/input_text.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "services/code_page.h"

namespace keelnode {

namespace {

// The code units of UTF-16 bytes after their byte-order mark; a last odd
// byte is half a unit and becomes a lone surrogate, written "?" like any.
std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  for (size_t k = 0; k + 1 < bytes.size(); k += 2) {
    const auto first = static_cast<unsigned char>(bytes[k]);
    const auto second = static_cast<unsigned char>(bytes[k + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
  }
  if (bytes.size() % 2 != 0) units.push_back(u'\xDC00');
  return units;
}

}  // namespace

std::string InputBytesToText(std::string_view bytes) {
  const bool littleEndian = bytes.substr(0, 2) == "\xFF\xFE";
  if (littleEndian || bytes.substr(0, 2) == "\xFE\xFF") {
    std::string text = Utf16ToGb18030(Utf16Units(bytes.substr(2), !littleEndian));
    text.resize(CutAtZero(text).size());
    return text;
  }
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

bool ReadWholeDescriptor(int fd, std::string& bytes, std::string* error, int* errorNumber) {
  bytes.clear();
  struct stat info;
  if (fstat(fd, &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      *error = "is a directory";
      if (errorNumber != nullptr) *errorNumber = EISDIR;
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
      if (errorNumber != nullptr) *errorNumber = errno;
      return false;
    }
    bytes.append(chunk, static_cast<size_t>(n));
  }
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error,
                   int* errorNumber) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    *error = std::strerror(errno);
    if (errorNumber != nullptr) *errorNumber = errno;
    return false;
  }
  return ReadWholeDescriptor(fd.get(), bytes, error, errorNumber);
}

}  // namespace keelnode
