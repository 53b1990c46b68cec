// The charset that an HTML page declares in a meta tag of its head.
#pragma once

#include <optional>
#include <string_view>

#include "net/charset_mode.h"

namespace keelnode {

// Utf8, Big5 or Big5Hkscs from the first meta tag that names one of them;
// nothing otherwise. The UTF-8 keywords are tried first, then Big5, then
// Big5-HKSCS, so an unquoted charset=Big5-HKSCS answers Big5.
std::optional<CharsetMode> findMetaCharset(std::string_view text);

}  // namespace keelnode
