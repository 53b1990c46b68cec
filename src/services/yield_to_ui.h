// The hook through which long scans of the core let the window handle events.
//
// The core has no window: it calls yieldToUi() where a long scan may give the
// user interface a turn, and the window installs a hook that processes
// pending events. The call is cheap: the hook runs only on every 1024th call,
// and the window's hook itself limits how often it does real work.
// Thread rule: install and call on the GUI thread only.
#pragma once

#include <cstddef>
#include <functional>

namespace keelnode {

void SetYieldToUiHook(std::function<void()> hook);

namespace detail {
extern unsigned yield_counter;
void RunYieldHook();
}  // namespace detail

inline void yieldToUi() {
  if ((++detail::yield_counter & 1023u) == 0) detail::RunYieldHook();
}

// Runs the hook now, for waits that have nothing else to do (a fetch waiting
// for its worker thread, a pause on a caption).
inline void yieldToUiNow() {
  detail::RunYieldHook();
}

// For long scans over a text: gives the window a turn every 64 KB of
// progress. Construct it before the loop and call Reached(position) in it.
class YieldEvery {
 public:
  void Reached(size_t position) {
    if (position >= next_) {
      next_ = position + kStride;
      yieldToUiNow();
    }
  }

 private:
  static constexpr size_t kStride = 64 * 1024;
  size_t next_ = kStride;
};

}  // namespace keelnode
