// Decoding JSON "\uXXXX" escapes and HTML character references into text in
// the program's code page. Always applied as a pair, Unicode escapes first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keelnode {

// "\uXXXX" (and, unless keepOtherEscapes, backslash-quote and backslash-slash).
std::string decodeUnicodeEscapes(std::string_view text, bool keepOtherEscapes);
// Named, decimal and hexadecimal character references.
std::string decodeHtmlEntities(std::string_view text);
// Digits and letters of any base, unchecked: A or a = 10 ... Z or z = 35;
// any other byte counts 0. A value beyond 64 bits gives INT64_MAX.
int64_t parseInBase(std::string_view text, int base);
// One UTF-16 code unit (or any code point up to U+10FFFF) as text in the
// program's code page; a surrogate or a larger value becomes "?".
std::string codeUnitToText(uint32_t code);

}  // namespace keelnode
