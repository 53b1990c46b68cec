// Keyword lists written the program's way: one literal whose parts are
// separated by a marker, with two apostrophes standing for a double quote.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

std::vector<std::string> keywordList(std::string_view literal, std::string_view separator);

// True when `text` holds any non-empty keyword, ignoring ASCII case.
bool containsAnyNoCase(std::string_view text, const std::vector<std::string>& keywords);

}  // namespace keelnode
