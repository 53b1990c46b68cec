#include "net/gzip_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

constexpr size_t kOutputStep = 64 * 1024;
constexpr int kGzipOnlyWindow = 16 + MAX_WBITS;

// Move-only owner of an inflate stream.
class InflateStream {
 public:
  InflateStream() { ok_ = inflateInit2(&stream_, kGzipOnlyWindow) == Z_OK; }
  ~InflateStream() {
    if (ok_) inflateEnd(&stream_);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;

  bool ok() const { return ok_; }
  z_stream& get() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

}  // namespace

Result<std::string, GunzipFailure> gunzip(std::string_view data, uint64_t maxOutput) {
  InflateStream inflater;
  const auto corrupt = Fail(GunzipFailure::kCorrupt);
  if (!inflater.ok()) return corrupt;
  z_stream& zs = inflater.get();
  std::string out;
  size_t used = 0;
  size_t offset = 0;  // input bytes handed to zlib so far
  while (true) {
    if (zs.avail_in == 0 && offset < data.size()) {
      const size_t chunk = std::min<size_t>(data.size() - offset, std::numeric_limits<uInt>::max());
      zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + offset));
      zs.avail_in = static_cast<uInt>(chunk);
      offset += chunk;
    }
    if (used == out.size()) {
      // One byte of room beyond the limit tells a body that ends right at
      // it from one that goes on.
      out.resize(
          static_cast<size_t>(std::min<uint64_t>(maxOutput + 1, out.size() * 2 + kOutputStep)));
    }
    const size_t room = std::min<size_t>(out.size() - used, std::numeric_limits<uInt>::max());
    zs.next_out = reinterpret_cast<Bytef*>(out.data() + used);
    zs.avail_out = static_cast<uInt>(room);
    const uInt in_before = zs.avail_in;
    const int r = inflate(&zs, Z_NO_FLUSH);
    used += room - zs.avail_out;
    if (used > maxOutput) return Fail(GunzipFailure::kTooLarge);
    yieldToUi();
    if (r == Z_STREAM_END) {
      const size_t consumed = offset - zs.avail_in;
      const std::string_view tail = data.substr(consumed);
      if (!hasGzipMagic(tail)) break;
      // Another member follows: start over on it.
      if (inflateReset(&zs) != Z_OK) return corrupt;
      continue;
    }
    if (r != Z_OK && r != Z_BUF_ERROR) return corrupt;  // corrupt data
    const bool progressed = zs.avail_in != in_before || zs.avail_out != room;
    if (!progressed && zs.avail_in == 0 && offset == data.size()) return corrupt;  // truncated
    if (!progressed && zs.avail_out != 0) return corrupt;  // stuck: never loop for ever
  }
  out.resize(used);
  return out;
}

}  // namespace keelnode
