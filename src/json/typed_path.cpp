#include "json/typed_path.h"

#include <vector>

namespace keelnode {

int FindTypedPath(const JsonDocument& doc, std::string_view text, PathSyntax boxForm) {
  const PathSyntax otherForm =
      boxForm == PathSyntax::kCompact ? PathSyntax::kInternal : PathSyntax::kCompact;
  for (PathSyntax form : {boxForm, otherForm}) {
    const int node = FindNodeByPath(doc, text, form);
    if (node != -1 && WritePath(doc, node, form) == text) return node;
  }
  const char first = text.empty() ? '\0' : text[0];
  std::vector<PathSyntax> guesses = {PathSyntax::kJavaScript};
  if (first == '$') guesses = {PathSyntax::kJsonPath, PathSyntax::kJavaScript};
  if (first == '/') guesses = {PathSyntax::kJsonPointer};
  if (first == '.') guesses = {PathSyntax::kJq};
  if (first == '[') guesses = {PathSyntax::kPython, PathSyntax::kJavaScript};
  for (PathSyntax syntax : guesses) {
    const int node = FindNodeByPath(doc, text, syntax);
    if (node != -1) return node;
  }
  for (PathSyntax form : {boxForm, otherForm}) {
    const int node = FindNodeByPath(doc, text, form);
    if (node != -1) return node;
  }
  // A path pasted with the blanks around it.
  const size_t first_kept = text.find_first_not_of(" \t\r\n");
  const size_t last_kept = text.find_last_not_of(" \t\r\n");
  if (first_kept == std::string_view::npos || (first_kept == 0 && last_kept + 1 == text.size()))
    return -1;
  return FindTypedPath(doc, text.substr(first_kept, last_kept + 1 - first_kept), boxForm);
}

}  // namespace keelnode
