// Printing a loaded document the way the command-line mode shows it: UTF-8,
// one line per tree item or node, each ended by "\n".
#pragma once

#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

#include "json/json_document.h"
#include "json/path_syntax.h"

namespace keelnode {

struct PathOptions {
  bool compactPaths = false;  // a[0].b instead of a.[0].b
  bool decoded = false;       // the decoded value instead of the value
  // Another tool's syntax in place of the path box text; the value stays
  // the value box text.
  std::optional<PathSyntax> syntax;
};

// Each tree item: two spaces per level below the root, then its label.
void PrintTreeLines(const JsonDocument& doc, std::ostream& out);
// Each item below the root: the path box text (or the path in
// options.syntax), TAB, the value box text.
void PrintPathLines(const JsonDocument& doc, const PathOptions& options, std::ostream& out);
// Each node as a JSON object: level, kind, name, value.
void PrintNodeLines(const JsonDocument& doc, std::ostream& out);
// The path of each of `nodes` written in `syntax` (the root's is empty).
void PrintPathList(const JsonDocument& doc, const std::vector<int>& nodes, PathSyntax syntax,
                   std::ostream& out);
// One value, as a line of its own.
void PrintValueLine(std::string_view value, std::ostream& out);

}  // namespace keelnode
