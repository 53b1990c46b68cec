#include "net/utf8_sniff.h"

#include "services/yield_to_ui.h"

namespace keelnode {

bool passesUtf8Test(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  bool sawSequence = false;
  size_t i = 0;
  while (i < n) {
    yieldToUi();
    if (b[i] < 0x80) {
      ++i;
    } else if (i + 1 < n && (b[i] & 0xE0) == 0xC0 && (b[i + 1] & 0xC0) == 0x80) {
      i += 2;
      sawSequence = true;
    } else if (i + 2 < n && (b[i] & 0xF0) == 0xE0 && (b[i + 1] & 0xC0) == 0x80 &&
               (b[i + 2] & 0xC0) == 0x80) {
      i += 3;
      sawSequence = true;
    } else {
      return false;
    }
  }
  return sawSequence;
}

}  // namespace keelnode
