// The program's message box.
#pragma once

#include <string_view>

namespace keelnode {

// Style bits, as the platform's message box numbers them.
enum MessageStyle : int {
  kMessageOk = 0,
  kMessageOkCancel = 1,
  kMessageAbortRetryIgnore = 2,
  kMessageYesNoCancel = 3,
  kMessageYesNo = 4,
  kMessageRetryCancel = 5,
  kMessageIconError = 16,
  kMessageIconQuestion = 32,
  kMessageIconWarning = 48,
  kMessageIconInformation = 64,
  kMessageDefaultButton2 = 0x100,
  kMessageDefaultButton3 = 0x200,
  kMessageSystemModal = 4096,
};

// The button pressed.
enum MessageResult : int {
  kResultOk = 0,
  kResultCancel = 1,
  kResultAbort = 2,
  kResultRetry = 3,
  kResultIgnore = 4,
  kResultYes = 5,
  kResultNo = 6,
};

// What a search says when its expression ran away (UTF-8): the labels past
// that one were never tried, so it is not "找不到".
inline constexpr char kRunawaySearchMessage[] = "表达式过于复杂，搜索已中止";

// Shows `text` (program text) and waits for a button. Without an icon in
// `style` the information icon is shown. The box stays above every window
// of the program. An empty caption means "岚溪：".
int ShowMessage(std::string_view text, int style = kMessageOk, std::string_view caption = {});

}  // namespace keelnode
