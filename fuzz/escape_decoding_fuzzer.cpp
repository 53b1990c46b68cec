// Fuzzes the escape decoders: they never fail, never read past
// the text, never grow it, and leave texts without "\" or "&" alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/escape_decoding.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace keelnode;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (bool keep : {false, true}) {
    std::string unicode = decodeUnicodeEscapes(text, keep);
    // Six bytes of escape (twelve for a pair) become at most four bytes.
    Check(unicode.size() <= text.size());
    if (text.find('\\') == std::string_view::npos) Check(unicode == text);
  }
  std::string html = decodeHtmlEntities(text);
  // A reference takes at least four bytes and decodes to at most four.
  Check(html.size() <= text.size());
  if (text.find('&') == std::string_view::npos) Check(html == text);
  std::string both = decodeHtmlEntities(decodeUnicodeEscapes(text, false));
  Check(both.size() <= text.size());

  int base = size > 0 ? data[0] % 40 - 2 : 16;
  (void)parseInBase(text, base);
  int64_t hex = parseInBase(text, 16);
  Check(hex >= 0);
  if (size >= 4)
    (void)codeUnitToText(static_cast<uint32_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 |
                         data[3]);
  return 0;
}
