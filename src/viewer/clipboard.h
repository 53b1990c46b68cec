// The clipboard as the program sees it: plain text in the program's code
// page, ending at its first zero byte.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// Empty when the clipboard holds no text.
std::string ClipboardText();
// Replaces the clipboard's content; an empty text leaves an empty text there.
void SetClipboardText(std::string_view text);

}  // namespace keelnode
