// How typed values become the texts stored in the settings file, and back.
//
// Texts are GB18030 bytes. Numbers use "%.13g" in the C locale whatever the
// process locale is (2 is "2", one half "0.5"); flags are "真" and "假"; a CR
// LF inside a text is stored as "┊*┊" so that a value stays on one line.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace keelnode {

// A calendar date and wall-clock time, without a time zone.
using DateTime = std::chrono::sys_seconds;

// Every CR LF becomes "┊*┊" / every "┊*┊" becomes CR LF. Both are plain byte
// replacements, so any byte string comes back exactly.
std::string EncodeText(std::string_view text);
std::string DecodeText(std::string_view stored);

std::string EncodeNumber(double value);
// A leading decimal number (after blanks and an optional "+"); 0 for text
// that is not one, and for infinities and values out of range.
double DecodeNumber(std::string_view stored);

std::string_view EncodeFlag(bool value);
bool DecodeFlag(std::string_view stored);         // true only for "真"
bool DecodeFlagLenient(std::string_view stored);  // false only for "假"

// "YYYY-MM-DD HH:MM:SS", years 1 to 9999.
std::string EncodeDateTime(DateTime value);
std::optional<DateTime> DecodeDateTime(std::string_view stored);

}  // namespace keelnode
