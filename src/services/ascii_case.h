// Letter-case-blind searches over bytes of any charset. Only ASCII letters
// fold, so a byte of a multi-byte character never matches a letter of
// another case.
#pragma once

#include <cstddef>
#include <string_view>

namespace keelnode {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Position of the first `needle` at or after `from`, ignoring ASCII case;
// npos when there is none. An empty needle is never found.
size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from = 0);

inline bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
  return FindNoCase(haystack, needle) != std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace keelnode
