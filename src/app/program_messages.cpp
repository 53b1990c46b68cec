#include "app/program_messages.h"

#include "viewer/message_box.h"

namespace keelnode {

int ShowStoreMessage(std::string_view text, unsigned flags, std::string_view caption) {
  return ShowMessage(text, static_cast<int>(flags), caption);
}

void ShowWarning(std::string_view text) {
  ShowMessage(text, kMessageOk | kMessageIconWarning);
}

}  // namespace keelnode
