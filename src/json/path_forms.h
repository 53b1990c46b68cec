// The two spellings of a path: the internal form ("a.[0].b"), which names
// array items as nodes, and the compact form ("a[0].b") the path box shows
// when arrays are not nodes.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// Internal form to compact form: a "." directly before an index goes.
std::string CompactPath(std::string_view path);
// Compact form back to internal form.
std::string ExpandCompactPath(std::string_view path);

}  // namespace keelnode
