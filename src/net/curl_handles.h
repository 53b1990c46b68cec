// Move-only owners of libcurl handles.
#pragma once

#include <curl/curl.h>

#include <string>
#include <utility>

namespace keelnode {

// libcurl's process-wide set-up, done once; false when it failed.
bool curlReady();

template <typename Handle, void (*Release)(Handle*)>
class CurlHandle {
 public:
  CurlHandle() = default;
  explicit CurlHandle(Handle* handle) : handle_(handle) {}
  ~CurlHandle() {
    if (handle_) Release(handle_);
  }
  CurlHandle(CurlHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  CurlHandle& operator=(CurlHandle&& other) noexcept {
    if (this != &other) {
      if (handle_) Release(handle_);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  Handle* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle* handle_ = nullptr;
};

namespace detail {
inline void releaseMulti(CURLM* multi) {
  curl_multi_cleanup(multi);
}
}  // namespace detail

using CurlEasy = CurlHandle<CURL, curl_easy_cleanup>;
using CurlMulti = CurlHandle<CURLM, detail::releaseMulti>;
using CurlList = CurlHandle<curl_slist, curl_slist_free_all>;

// Appends a line to a header list; false when libcurl is out of memory.
inline bool appendLine(CurlList& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (!grown) return false;
  if (!list) list = CurlList(grown);
  return true;
}

}  // namespace keelnode
