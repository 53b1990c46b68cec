// The ways a path is written on the command line. A syntax reads a path
// into the node it names and writes a node's path; a new syntax is one more
// entry in the enum and in the table of path_syntax.cpp.
#pragma once

#include <string>
#include <string_view>

#include "json/json_document.h"

namespace keelnode {

enum class PathSyntax {
  kInternal,  // every segment after a ".": data.[0].name (the path box, "数组独立节点" on)
  kCompact,   // no "." before an index: data[0].name ("数组独立节点" off)
};

// The node that `path`, written in `syntax`, names in `doc`: the first in
// document order, the root for the empty path; -1 when there is none.
int FindNodeByPath(const JsonDocument& doc, std::string_view path, PathSyntax syntax);

// The path of node n written in `syntax`; empty for the root.
std::string WritePath(const JsonDocument& doc, int node, PathSyntax syntax);

}  // namespace keelnode
