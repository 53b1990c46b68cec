// Member names as a JSON reader sees them. The store keeps a name as it was
// written between its quotes (escaped quotes as the splitter's placeholder);
// a path meant for another tool names the decoded member instead.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// `raw` with escaped quotes restored and JSON escapes decoded ("\n", "\\",
// "\u00e9", surrogate pairs ...), as program text. An escape JSON does not
// know stays as written; a lone surrogate becomes "?".
std::string DecodeMemberName(std::string_view raw);

// Appends code point `cp` (a surrogate pair already joined) as program text.
void AppendCodePoint(char32_t cp, std::string& out);

// The value of the 4 hex digits at `text[pos]`, or -1.
int HexQuad(std::string_view text, size_t pos);

}  // namespace keelnode
