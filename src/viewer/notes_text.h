// The notes shown behind the banner's "疑点说明" link and picture.
#pragma once

#include <string>

namespace keelnode {

// Program text, lines separated by CR LF.
std::string NotesText();

}  // namespace keelnode
