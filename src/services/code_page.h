// Conversions between the program's code page and Unicode.
//
// Every text inside keelnode is a byte string in GB18030, the program's fixed
// code page. Conversions happen only at the edges: widgets and the clipboard
// (UTF-16), the regular-expression engine and the command line (UTF-8), and
// network bodies (named charsets through iconv).
//
// Characters are read the way every byte scan of the program reads them: a
// byte below 0x80 stands alone, a byte of 0x80 or above takes the byte after
// it (whatever it is), and a four-byte GB18030 sequence is two such pairs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

// What becomes of bytes that are not valid GB18030.
enum class InvalidBytes {
  kReplace,  // one U+FFFD per invalid unit (for display and output)
  kEscape,   // reversible: each byte becomes U+10FE00 + byte (for the regex engine)
};

std::string Gb18030ToUtf8(std::string_view text, InvalidBytes invalid = InvalidBytes::kReplace);
// The same, appending to `out` (for writers that convert many small texts).
void AppendGb18030AsUtf8(std::string_view text, std::string& out,
                         InvalidBytes invalid = InvalidBytes::kReplace);

// Escaped bytes (U+10FE00..U+10FEFF) come back as themselves; a lone
// surrogate or an invalid UTF-8 sequence becomes "?".
std::string Utf8ToGb18030(std::string_view utf8);

// `sources`, when given, receives for every UTF-16 unit the offset of the
// bytes it came from.
std::u16string Gb18030ToUtf16(std::string_view text, std::vector<size_t>* sources = nullptr);
// A lone surrogate becomes "?".
std::string Utf16ToGb18030(std::u16string_view utf16);

// One code point in GB18030; "?" for a surrogate or a value beyond U+10FFFF.
std::string CodePointToGb18030(char32_t code_point);

// Strict UTF-8 check (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The part of `bytes` before its first zero byte: texts never hold one.
std::string_view CutAtZero(std::string_view bytes);

// Converts between two charsets named as iconv names them. Nothing when
// iconv does not know a name or the input is not valid in `from`.
std::optional<std::string> ConvertCharset(std::string_view bytes, const char* from, const char* to);

}  // namespace keelnode
