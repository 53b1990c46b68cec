#include "net/utf8_sniff.h"

#include <cstdint>
#include <cstring>

#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

constexpr size_t kWord = sizeof(uint64_t);

// True when the eight bytes at `p` are all ASCII.
bool asciiWord(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, kWord);
  return (word & 0x8080808080808080ull) == 0;
}

}  // namespace

bool passesUtf8Test(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  bool sawSequence = false;
  size_t i = 0;
  while (i < n) {
    yieldToUi();
    // Runs of ASCII are stepped over eight bytes at a time.
    if (i + kWord <= n && asciiWord(b + i)) {
      i += kWord;
    } else if (b[i] < 0x80) {
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
