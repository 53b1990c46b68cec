// The plausibility test that takes a body without any declaration for UTF-8.
#pragma once

#include <string_view>

namespace keelnode {

// True when `bytes` consists of ASCII and two- or three-byte UTF-8 sequences
// and holds at least one such sequence. Four-byte sequences fail the test;
// overlong forms are not rejected. Pure ASCII fails: it needs no conversion.
bool passesUtf8Test(std::string_view bytes);

}  // namespace keelnode
