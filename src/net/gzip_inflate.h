// Undoing gzip compression of a response body (zlib).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keelnode {

inline bool hasGzipMagic(std::string_view data) {
  return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
         static_cast<unsigned char>(data[1]) == 0x8B;
}

// The decompressed bytes of one gzip stream or of several concatenated ones
// (bytes after the last one are ignored, as gzip does). Nothing when the
// stream is corrupt or truncated, or when it would grow beyond `maxOutput`
// bytes, so a small hostile body cannot exhaust memory.
std::optional<std::string> gunzip(std::string_view data, uint64_t maxOutput);

}  // namespace keelnode
