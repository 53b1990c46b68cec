// Finding the node a path typed or pasted by the user names, whatever
// syntax it is written in.
#pragma once

#include <string_view>

#include "json/json_document.h"
#include "json/path_syntax.h"

namespace keelnode {

// The node `text` names, or -1. The path box's own forms come first (the
// one it shows now, `boxForm`, then the other), taken only when the node
// found writes back as `text`, so that "/a" or "[0]" is not read as a
// member name by mistake. Then the syntax its first character tells ("$"
// JSONPath, "/" JSON Pointer, "." jq, "[" Python or JavaScript), then
// JavaScript, and last the path box's forms as they read any text; when
// all of these name nothing, the same without blanks around the text.
int FindTypedPath(const JsonDocument& doc, std::string_view text, PathSyntax boxForm);

}  // namespace keelnode
