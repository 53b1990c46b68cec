// Preparing an address from the clipboard for a request.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// Without spaces (ASCII and full-width), tabs and line breaks at both ends.
std::string_view trimAddress(std::string_view address);

// The part before the first "#".
std::string_view withoutFragment(std::string_view address);

// True when it begins with "http://" or "https://", in any letter case.
bool hasWebScheme(std::string_view address);

// "http://" put in front unless it begins with a web scheme.
std::string withWebScheme(std::string_view address);

// The address as it goes on the wire: program text becomes UTF-8, and after
// the host every byte that may not stand in a request line (non-ASCII,
// spaces, control characters, quotes, angle brackets) is percent-encoded, so
// no address can break the request apart. The host is left for libcurl
// (international names included).
std::string toWireAddress(std::string_view address);

}  // namespace keelnode
