// Message boxes for the units that also see the settings store: its header
// and the message box's both name the style bits, so no file can include
// the two.
#pragma once

#include <string_view>

namespace keelnode {

// The settings store's notices (a MessageHook): text, caption and style
// bits as the store gives them.
int ShowStoreMessage(std::string_view text, unsigned flags, std::string_view caption);

// A program text with the warning icon and an OK button.
void ShowWarning(std::string_view text);

}  // namespace keelnode
