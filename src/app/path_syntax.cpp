#include "app/path_syntax.h"

#include "json/json_parser.h"

namespace keelnode {
namespace {

// One syntax: how it reads a path and how it writes one.
struct SyntaxEntry {
  PathSyntax syntax;
  int (*find)(const JsonDocument&, std::string_view);
  std::string (*write)(const JsonDocument&, int);
};

// The one parser the path forms are converted with, as the window keeps one.
const JsonParser& PathForms() {
  static const JsonParser parser;
  return parser;
}

constexpr SyntaxEntry kSyntaxes[] = {
    {PathSyntax::kInternal,
     [](const JsonDocument& doc, std::string_view path) { return doc.nodeAtPath(path, 0); },
     [](const JsonDocument& doc, int node) { return doc.pathOfNode(node); }},
    {PathSyntax::kCompact,
     [](const JsonDocument& doc, std::string_view path) {
       return doc.nodeAtPath(PathForms().normalisePath(path, 1), 0);
     },
     [](const JsonDocument& doc, int node) {
       return PathForms().normalisePath(doc.pathOfNode(node), 0);
     }},
};

const SyntaxEntry& Entry(PathSyntax syntax) {
  for (const SyntaxEntry& entry : kSyntaxes) {
    if (entry.syntax == syntax) return entry;
  }
  return kSyntaxes[0];
}

}  // namespace

int FindNodeByPath(const JsonDocument& doc, std::string_view path, PathSyntax syntax) {
  return Entry(syntax).find(doc, path);
}

std::string WritePath(const JsonDocument& doc, int node, PathSyntax syntax) {
  return Entry(syntax).write(doc, node);
}

}  // namespace keelnode
