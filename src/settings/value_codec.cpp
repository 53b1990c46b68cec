#include "settings/value_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "settings/settings_texts.h"

namespace keelnode {
namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t hit; (hit = text.find(from, start)) != std::string_view::npos;
       start = hit + from.size()) {
    out.append(text.substr(start, hit - start)).append(to);
  }
  out.append(text.substr(start));
  return out;
}

bool ReadDigits(std::string_view text, size_t at, size_t count, int* value) {
  if (at + count > text.size()) return false;
  *value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::string EncodeText(std::string_view text) {
  return ReplaceAll(text, "\r\n", settings_text::kLineBreakMark);
}

std::string DecodeText(std::string_view stored) {
  return ReplaceAll(stored, settings_text::kLineBreakMark, "\r\n");
}

std::string EncodeNumber(double value) {
  // to_chars with a precision is printf's %.*g in the C locale.
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return std::string(buffer, result.ptr);
}

double DecodeNumber(std::string_view stored) {
  size_t i = 0;
  while (i < stored.size() && (stored[i] == ' ' || stored[i] == '\t'))
    ++i;
  if (i < stored.size() && stored[i] == '+') {
    ++i;
    if (i < stored.size() && stored[i] == '-') return 0;  // "+-1" is no number
  }
  double value = 0;
  auto result = std::from_chars(stored.data() + i, stored.data() + stored.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

std::string_view EncodeFlag(bool value) {
  return value ? settings_text::kTrue : settings_text::kFalse;
}

bool DecodeFlag(std::string_view stored) {
  return stored == settings_text::kTrue;
}

bool DecodeFlagLenient(std::string_view stored) {
  return stored != settings_text::kFalse;
}

std::string EncodeDateTime(DateTime value) {
  using namespace std::chrono;
  const sys_days day = floor<days>(value);
  const year_month_day date(day);
  const hh_mm_ss<seconds> time(value - day);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                int(time.minutes().count()), int(time.seconds().count()));
  return buffer;
}

std::optional<DateTime> DecodeDateTime(std::string_view stored) {
  using namespace std::chrono;
  int y, mo, d, h, mi, s;
  if (stored.size() != 19 || stored[4] != '-' || stored[7] != '-' || stored[10] != ' ' ||
      stored[13] != ':' || stored[16] != ':' || !ReadDigits(stored, 0, 4, &y) ||
      !ReadDigits(stored, 5, 2, &mo) || !ReadDigits(stored, 8, 2, &d) ||
      !ReadDigits(stored, 11, 2, &h) || !ReadDigits(stored, 14, 2, &mi) ||
      !ReadDigits(stored, 17, 2, &s)) {
    return std::nullopt;
  }
  const year_month_day date{year(y), month(static_cast<unsigned>(mo)),
                            day(static_cast<unsigned>(d))};
  if (y < 1 || !date.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
  return sys_days(date) + hours(h) + minutes(mi) + seconds(s);
}

}  // namespace keelnode
