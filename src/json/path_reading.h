// Reading a path typed in another tool's syntax into steps. Readers are
// lenient where the tools differ in small ways (either quote in brackets,
// the escapes of any of the string dialects, non-ASCII in a bare name) and
// give nothing for text that is not a path of their syntax.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "json/path_steps.h"

namespace keelnode {

using Steps = std::optional<std::vector<PathStep>>;

Steps ReadJavaScriptPath(std::string_view text);
Steps ReadJqPath(std::string_view text);
Steps ReadJsonPath(std::string_view text);
Steps ReadJsonPointer(std::string_view text);
Steps ReadPythonPath(std::string_view text);

}  // namespace keelnode
