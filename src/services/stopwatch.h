// Measuring how long an operation took, and saying it in Chinese units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keelnode {

// "0 毫秒", "12.5 秒", "1.5 分" (single-unit form) or "1 小时 2 分钟 3 秒"
// (multi-unit form), in the program's code page.
std::string FormatDuration(int64_t milliseconds, bool multi_unit);

// The millisecond tick count: std::chrono::steady_clock in milliseconds,
// truncated to 32 bits (it wraps like the system's counter).
uint32_t CurrentTick();

class Stopwatch {
 public:
  using TickSource = uint32_t (*)();

  Stopwatch();  // started
  // Reads its ticks from `ticks` instead of CurrentTick (for tests).
  explicit Stopwatch(TickSource ticks);

  void Start();
  // FormatDuration(elapsed, single-unit) + " " + suffix; restarts the
  // measurement unless keep_start. The elapsed time is the wrapping
  // difference of two 32-bit ticks.
  std::string ElapsedText(std::string_view suffix = {}, bool keep_start = false);

 private:
  TickSource ticks_ = CurrentTick;
  uint32_t startTick_ = 0;  // millisecond tick, wraps like the system counter
};

}  // namespace keelnode
