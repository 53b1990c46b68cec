// The ways a path is written: the path box's two forms, and the syntaxes of
// the tools a copied path is pasted into. A syntax reads a path into the
// node it names and writes a node's path; a new syntax is one more entry in
// the enum and in the table of path_syntax.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "json/json_document.h"

namespace keelnode {

enum class PathSyntax {
  kInternal,     // every segment after a ".": data.[0].name (the path box, "数组独立节点" on)
  kCompact,      // no "." before an index: data[0].name ("数组独立节点" off)
  kJavaScript,   // data[0].name, ["a.b"].c: an expression after a variable
  kJq,           // .data[0].name, ."a.b"
  kJsonPath,     // $.data[0].name, $['a.b']
  kJsonPointer,  // /data/0/name, ~0 and ~1 escapes; the root is ""
  kPython,       // ["data"][0]["name"]
};

// The node that `path`, written in `syntax`, names in `doc`, the root for
// the root's path; -1 when there is none. The path box's forms find the
// first in document order, the other syntaxes the last of equal names.
int FindNodeByPath(const JsonDocument& doc, std::string_view path, PathSyntax syntax);

// The path of node n written in `syntax`; the root's is empty in the path
// box's forms, JavaScript, Python and JSON Pointer.
std::string WritePath(const JsonDocument& doc, int node, PathSyntax syntax);

// The command line's names for the other tools' syntaxes: js, jq,
// jsonpath, pointer, python.
std::optional<PathSyntax> PathSyntaxNamed(std::string_view name);

}  // namespace keelnode
