// Reading the raw header block of a response.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

// True when the headers hold charset=utf-8, plain or in double or single
// quotes, anywhere and in any letter case.
bool headerSaysUtf8(std::string_view headers);

// The name=value pair of every Set-Cookie line, in order.
std::vector<std::string> cookiePairs(std::string_view headers);

// The charset parameter of the Content-Type header; empty when there is none
// or it is not a plausible charset name.
std::string declaredCharset(std::string_view headers);

}  // namespace keelnode
