#include "services/mbcs.h"

#include <cstring>

namespace keelnode {

size_t FindAsciiByte(std::string_view text, char byte, size_t from) {
  const size_t n = text.size();
  size_t i = from;
  // A known unit start at or before `i`: the run of high bytes before a
  // candidate is counted no further back than that, so a long run of
  // characters whose second byte is `byte` costs each byte once.
  size_t unit_start = from;
  while (i < n) {
    const void* hit = std::memchr(text.data() + i, byte, n - i);
    if (hit == nullptr) return std::string_view::npos;
    const size_t candidate = static_cast<const char*>(hit) - text.data();
    size_t run = 0;
    while (candidate - run > unit_start &&
           IsLeadByte(static_cast<unsigned char>(text[candidate - run - 1])))
      ++run;
    if (run % 2 == 0) return candidate;
    i = candidate + 1;  // the second byte of a character; a unit starts after it
    unit_start = i;
  }
  return std::string_view::npos;
}

}  // namespace keelnode
