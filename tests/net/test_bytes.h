// Byte helpers shared by the net tests.
#pragma once

#include <string>
#include <string_view>

namespace keelnode::nettest {

// Program text (GB18030) for UTF-8 source text.
std::string gb(std::string_view utf8);

// `text` converted to a named charset, for building bodies.
std::string encodeAs(std::string_view utf8, const char* charset);

// `data` compressed as one gzip stream.
std::string gzipped(std::string_view data);

}  // namespace keelnode::nettest
