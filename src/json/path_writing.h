// Writing a node's steps in the syntax of another tool, quoting each name
// so that the tool reads back the same member.
#pragma once

#include <string>
#include <vector>

#include "json/path_steps.h"

namespace keelnode {

std::string WriteJavaScriptPath(const std::vector<PathStep>& steps);
std::string WriteJqPath(const std::vector<PathStep>& steps);
std::string WriteJsonPath(const std::vector<PathStep>& steps);
std::string WriteJsonPointer(const std::vector<PathStep>& steps);
std::string WritePythonPath(const std::vector<PathStep>& steps);

}  // namespace keelnode
