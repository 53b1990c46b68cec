#include "services/mbcs.h"

#include <cstring>

namespace keelnode {

size_t FindAsciiByte(std::string_view text, char byte, size_t from) {
  const size_t n = text.size();
  size_t i = from;
  while (i < n) {
    // Jump straight to the next candidate when no lead byte lies before it.
    const void* hit = std::memchr(text.data() + i, byte, n - i);
    size_t candidate = hit ? static_cast<const char*>(hit) - text.data() : n;
    size_t j = i;
    while (j < candidate && !IsLeadByte(static_cast<unsigned char>(text[j])))
      ++j;
    if (j == candidate) return candidate < n ? candidate : std::string_view::npos;
    // A lead byte at j: step over its unit and look again from there.
    i = j + 2;
  }
  return std::string_view::npos;
}

}  // namespace keelnode
