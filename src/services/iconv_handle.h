// A move-only owner of an iconv conversion descriptor.
#pragma once

#include <iconv.h>

namespace keelnode {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(IconvHandle&& other) noexcept : cd_(other.cd_) { other.cd_ = Invalid(); }
  IconvHandle& operator=(IconvHandle&&) = delete;
  IconvHandle(const IconvHandle&) = delete;

  bool valid() const { return cd_ != Invalid(); }
  iconv_t get() const { return cd_; }

 private:
  static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

}  // namespace keelnode
