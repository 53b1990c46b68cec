// Undoing gzip compression of a response body (zlib).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "services/result.h"

namespace keelnode {

inline bool hasGzipMagic(std::string_view data) {
  return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
         static_cast<unsigned char>(data[1]) == 0x8B;
}

enum class GunzipFailure {
  kCorrupt,   // corrupt or truncated
  kTooLarge,  // would grow beyond the limit
};

// The decompressed bytes of one gzip stream or of several concatenated ones
// (bytes after the last one are ignored, as gzip does). Inflating stops at
// `maxOutput` bytes, so a small hostile body cannot exhaust memory.
Result<std::string, GunzipFailure> gunzip(std::string_view data, uint64_t maxOutput);

}  // namespace keelnode
