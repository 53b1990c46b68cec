// How the settings store tells the user about a failure without depending
// on a window: a replaceable hook. The window installs one that shows a
// message box; the default writes to standard error.
#pragma once

#include <functional>
#include <string_view>

namespace keelnode {

// Message-box style bits, numbered as the platform's message boxes number them.
inline constexpr unsigned kMessageIconStop = 0x10;
inline constexpr unsigned kMessageIconQuestion = 0x20;
inline constexpr unsigned kMessageIconExclamation = 0x30;
inline constexpr unsigned kMessageIconInformation = 0x40;
inline constexpr unsigned kMessageSystemModal = 0x1000;

// Text and caption are GB18030; returns the button pressed.
using MessageHook =
    std::function<int(std::string_view text, unsigned flags, std::string_view caption)>;

// Writes "caption text" to standard error (as UTF-8) and returns 1 (OK).
int WriteMessageToStderr(std::string_view text, unsigned flags, std::string_view caption);

// The program's message routine: the information icon unless the flags
// carry one, always system modal, and "岚溪：" for an empty caption.
int ShowProgramMessage(const MessageHook& hook, std::string_view text, unsigned flags,
                       std::string_view caption = {});

}  // namespace keelnode
