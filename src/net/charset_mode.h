// How the bytes of a fetched document become program text.
#pragma once

#include <cstdint>

namespace keelnode {

enum class CharsetMode : int32_t {
  ServerText = -2,  // the plain road's own decoding by the declared charset
  RawBytes = -1,    // the bytes unchanged
  Auto = 0,         // header, byte-order mark, meta tag, then the UTF-8 test
  Ansi = 1,         // already in the program's code page
  Utf8 = 2,
  Utf16Le = 3,
  Utf16Be = 4,
  Big5 = 5,
  Big5Hkscs = 6,
};

}  // namespace keelnode
