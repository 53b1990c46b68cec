// Fuzzes decodeBody: any bytes in any mode give text without a zero byte,
// the mode it reports is one it can produce, and bytes it passes through
// come back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/decode_body.h"
#include "net/gzip_inflate.h"
#include "services/code_page.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace keelnode;
  if (size == 0) return 0;
  // The first byte picks the mode, -2 to 6.
  const auto mode = static_cast<CharsetMode>(static_cast<int>(data[0] % 9) - 2);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  CharsetMode detected = mode;
  const std::string text = decodeBody(bytes, mode, &detected);
  Check(text.find('\0') == std::string::npos);
  const int used = static_cast<int>(detected);
  Check(used >= static_cast<int>(CharsetMode::Ansi) &&
        used <= static_cast<int>(CharsetMode::Big5Hkscs));
  if (detected == CharsetMode::Ansi && !hasGzipMagic(bytes)) Check(text == CutAtZero(bytes));
  if (mode == CharsetMode::RawBytes && !hasGzipMagic(bytes)) Check(text == CutAtZero(bytes));
  return 0;
}
