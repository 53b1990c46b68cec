#include "json/path_syntax.h"

#include "json/item_display.h"
#include "json/json_parser.h"
#include "json/path_reading.h"
#include "json/path_writing.h"

namespace keelnode {
namespace {

// One syntax: how it reads a path and how it writes one.
struct SyntaxEntry {
  PathSyntax syntax;
  std::string_view name;  // on the command line
  int (*find)(const JsonDocument&, std::string_view);
  std::string (*write)(const JsonDocument&, int);
};

template <Steps (*Read)(std::string_view)>
int FindBySteps(const JsonDocument& doc, std::string_view path) {
  const Steps steps = Read(path);
  return steps ? NodeAtSteps(doc, *steps) : -1;
}

template <std::string (*Write)(const std::vector<PathStep>&)>
std::string WriteBySteps(const JsonDocument& doc, int node) {
  return Write(PathStepsOf(doc, node));
}

constexpr SyntaxEntry kSyntaxes[] = {
    {PathSyntax::kInternal,
     {},
     [](const JsonDocument& doc, std::string_view path) { return doc.nodeAtPath(path, 0); },
     [](const JsonDocument& doc, int node) { return doc.pathOfNode(node); }},
    {PathSyntax::kCompact,
     {},
     [](const JsonDocument& doc, std::string_view path) {
       return NodeOfPathBoxText(doc, path, PathSpelling::kCompact);
     },
     [](const JsonDocument& doc, int node) {
       return PathBoxText(doc, node, PathSpelling::kCompact);
     }},
    {PathSyntax::kJavaScript, "js", FindBySteps<ReadJavaScriptPath>,
     WriteBySteps<WriteJavaScriptPath>},
    {PathSyntax::kJq, "jq", FindBySteps<ReadJqPath>, WriteBySteps<WriteJqPath>},
    {PathSyntax::kJsonPath, "jsonpath", FindBySteps<ReadJsonPath>, WriteBySteps<WriteJsonPath>},
    {PathSyntax::kJsonPointer, "pointer", FindBySteps<ReadJsonPointer>,
     WriteBySteps<WriteJsonPointer>},
    {PathSyntax::kPython, "python", FindBySteps<ReadPythonPath>, WriteBySteps<WritePythonPath>},
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

std::optional<PathSyntax> PathSyntaxNamed(std::string_view name) {
  for (const SyntaxEntry& entry : kSyntaxes) {
    if (!entry.name.empty() && entry.name == name) return entry.syntax;
  }
  return std::nullopt;
}

}  // namespace keelnode
