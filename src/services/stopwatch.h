// Measuring how long an operation took, and saying it in Chinese units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keelnode {

// "0 毫秒", "12.5 秒", "1.5 分" (single-unit form) or "1 小时 2 分钟 3 秒"
// (multi-unit form).
std::string FormatDuration(int64_t milliseconds, bool multi_unit);

class Stopwatch {
 public:
  Stopwatch();  // started

  void Start();
  // FormatDuration(elapsed, single-unit) + " " + suffix; restarts the
  // measurement unless keep_start.
  std::string ElapsedText(std::string_view suffix = {}, bool keep_start = false);

 private:
  uint32_t startTick_ = 0;  // millisecond tick, wraps like the system counter
};

}  // namespace keelnode
