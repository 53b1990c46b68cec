#include "services/stopwatch.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace keelnode {
namespace {

// Unit words in the program's code page; each begins with one space.
constexpr const char kMilliseconds[] = " \xBA\xC1\xC3\xEB";  // 毫秒
constexpr const char kSeconds[] = " \xC3\xEB";               // 秒
constexpr const char kMinute[] = " \xB7\xD6";                // 分
constexpr const char kMinutes[] = " \xB7\xD6\xD6\xD3";       // 分钟
constexpr const char kHour[] = " \xCA\xB1";                  // 时
constexpr const char kHours[] = " \xD0\xA1\xCA\xB1";         // 小时
constexpr const char kDays[] = " \xCC\xEC";                  // 天
constexpr const char kMonths[] = " \xD4\xC2";                // 月
constexpr const char kYears[] = " \xC4\xEA";                 // 年

// "x reaches the limit" with the program's tolerance for real numbers.
bool Reaches(double x, double limit) {
  return x - limit >= -0.0000001;
}

// milliseconds / divisor rounded to two decimals (halves away from zero),
// as "%.13g". The quotient is scaled before dividing, so that a duration
// whose value lies exactly halfway (1005 ms = 1.005 s) rounds up as decimal
// arithmetic would.
std::string RoundedValue(int64_t milliseconds, double divisor) {
  double hundredths = std::round(static_cast<double>(milliseconds) * 100.0 / divisor);
  double value = hundredths / 100.0 + 0.0;  // + 0.0 turns -0 into 0
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

std::string SingleUnit(int64_t milliseconds) {
  double ms = static_cast<double>(milliseconds);
  if (!Reaches(ms, 1000)) return RoundedValue(milliseconds, 1) + kMilliseconds;
  double s = ms / 1000;
  if (!Reaches(s, 60)) return RoundedValue(milliseconds, 1000.0) + kSeconds;
  double m = s / 60;
  if (!Reaches(m, 60)) return RoundedValue(milliseconds, 60000.0) + kMinute;
  m = m / 60;
  if (!Reaches(m, 24)) return RoundedValue(milliseconds, 3600000.0) + kHour;
  m = m / 24;
  if (!Reaches(m, 30)) return RoundedValue(milliseconds, 86400000.0) + kDays;
  m = m / 30;
  if (!Reaches(m, 12)) return RoundedValue(milliseconds, 2592000000.0) + kMonths;
  return RoundedValue(milliseconds, 31104000000.0) + kYears;
}

std::string MultiUnit(int64_t milliseconds) {
  int64_t total_seconds = milliseconds / 1000;
  if (total_seconds == 0) return std::to_string(milliseconds) + kMilliseconds;
  int64_t seconds = total_seconds % 60;
  int64_t total_minutes = total_seconds / 60;
  int64_t minutes = total_minutes % 60;
  int64_t total_hours = total_minutes / 60;
  int64_t hours = total_hours % 24;
  int64_t total_days = total_hours / 24;
  int64_t days = total_days % 30;
  int64_t total_months = total_days / 30;
  int64_t months = total_months % 12;
  int64_t years = total_months / 12;
  const struct {
    int64_t value;
    const char* word;
  } parts[] = {{years, kYears}, {months, kMonths},   {days, kDays},
               {hours, kHours}, {minutes, kMinutes}, {seconds, kSeconds}};
  std::string out;
  for (const auto& part : parts) {
    if (part.value <= 0) continue;
    if (!out.empty()) out.push_back(' ');
    out += std::to_string(part.value);
    out += part.word;
  }
  return out;
}

}  // namespace

std::string FormatDuration(int64_t milliseconds, bool multi_unit) {
  return multi_unit ? MultiUnit(milliseconds) : SingleUnit(milliseconds);
}

uint32_t CurrentTick() {
  auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

Stopwatch::Stopwatch() {
  Start();
}

Stopwatch::Stopwatch(TickSource ticks) : ticks_(ticks ? ticks : CurrentTick) {
  Start();
}

void Stopwatch::Start() {
  startTick_ = ticks_();
}

std::string Stopwatch::ElapsedText(std::string_view suffix, bool keep_start) {
  uint32_t elapsed = ticks_() - startTick_;  // wraps like the system counter
  std::string text = FormatDuration(static_cast<int64_t>(elapsed), false);
  text.push_back(' ');
  text.append(suffix);
  if (!keep_start) Start();
  return text;
}

}  // namespace keelnode
