// Converting fetched bytes from a named charset to the program's code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace keelnode {

// `bytes` decoded from `charset` (an iconv name) and encoded as GB18030.
// Every sequence that is not valid in `charset` becomes "?" (GB18030 holds
// every other character), and the text ends at the first U+0000. Nothing
// when iconv does not know the charset.
std::optional<std::string> convertToProgramText(std::string_view bytes, const char* charset);

}  // namespace keelnode
