#include "services/yield_to_ui.h"

#include <utility>

namespace keelnode {
namespace {
std::function<void()>& Hook() {
  static std::function<void()> hook;
  return hook;
}
}  // namespace

namespace detail {
unsigned yield_counter = 0;
void RunYieldHook() {
  if (Hook()) Hook()();
}
}  // namespace detail

void SetYieldToUiHook(std::function<void()> hook) {
  Hook() = std::move(hook);
}

}  // namespace keelnode
