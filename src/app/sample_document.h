// The sample document shipped inside the program, shown when there is no
// display to open the window on.
#pragma once

#include <string_view>

namespace keelnode {

std::string_view SampleDocument();

}  // namespace keelnode
