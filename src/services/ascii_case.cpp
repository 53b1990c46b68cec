#include "services/ascii_case.h"

#include <cstring>

#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

// Finds `c` in [pos, end) of `text`; end when absent.
size_t findByte(std::string_view text, char c, size_t pos, size_t end) {
  if (pos >= end) return end;
  auto* hit = static_cast<const char*>(std::memchr(text.data() + pos, c, end - pos));
  return hit ? static_cast<size_t>(hit - text.data()) : end;
}

}  // namespace

size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty() || from > haystack.size() || needle.size() > haystack.size() - from)
    return std::string_view::npos;
  const char lower = AsciiLower(needle[0]);
  const char upper = lower >= 'a' && lower <= 'z' ? static_cast<char>(lower - 32) : lower;
  const size_t end = haystack.size() - needle.size() + 1;  // candidates lie before this
  // memchr finds candidates fast; each case is searched again only once
  // the scan has passed its last hit, so the whole scan stays linear.
  size_t next_lower = findByte(haystack, lower, from, end);
  size_t next_upper = upper == lower ? end : findByte(haystack, upper, from, end);
  while (true) {
    const size_t pos = next_lower < next_upper ? next_lower : next_upper;
    if (pos >= end) return std::string_view::npos;
    if (StartsWithNoCase(haystack.substr(pos), needle)) return pos;
    yieldToUi();
    if (next_lower == pos) next_lower = findByte(haystack, lower, pos + 1, end);
    if (next_upper == pos) next_upper = findByte(haystack, upper, pos + 1, end);
  }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

}  // namespace keelnode
