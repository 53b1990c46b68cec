#include "settings/message_hook.h"

#include <cstdio>
#include <string>

#include "services/code_page.h"
#include "settings/settings_texts.h"

namespace keelnode {

int WriteMessageToStderr(std::string_view text, unsigned /*flags*/, std::string_view caption) {
  std::string line = Gb18030ToUtf8(caption) + " " + Gb18030ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return 1;
}

int ShowProgramMessage(const MessageHook& hook, std::string_view text, unsigned flags,
                       std::string_view caption) {
  constexpr unsigned kAnyIcon =
      kMessageIconStop | kMessageIconQuestion | kMessageIconExclamation | kMessageIconInformation;
  if ((flags & kAnyIcon) == 0) flags |= kMessageIconInformation;
  flags |= kMessageSystemModal;
  if (caption.empty()) caption = settings_text::kCaption;
  return hook ? hook(text, flags, caption) : WriteMessageToStderr(text, flags, caption);
}

}  // namespace keelnode
