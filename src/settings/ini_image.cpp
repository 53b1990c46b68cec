#include "settings/ini_image.h"

namespace keelnode {

bool StartsLine(std::string_view image, size_t pos) {
  return pos == 0 || (pos >= 2 && image[pos - 2] == '\r' && image[pos - 1] == '\n');
}

std::string HeaderPattern(std::string_view section) {
  std::string pattern = "[";
  pattern.append(section).push_back(']');
  return pattern;
}

size_t FindHeaderBetween(std::string_view image, size_t from, size_t to) {
  constexpr size_t npos = std::string_view::npos;
  size_t a = from;
  size_t close = npos;  // the first "]" CR LF at or after a, kept while a has not passed it
  for (;;) {
    a = image.find("\r\n[", a);
    if (a == npos || a >= to) return npos;
    a += 2;
    if (close == npos || close < a) {
      close = image.find("]\r\n", a);
      // No later "[" line can be closed either.
      if (close == npos) return npos;
    }
    if (close > to) return npos;
    // A header when the line that opens at a is the one that closes there.
    if (image.find("\r\n", a) == close + 1) return a;
  }
}

std::optional<EntryRange> FindEntry(std::string_view image, size_t header_end,
                                    std::string_view key) {
  std::string pattern = "\r\n";
  pattern.append(key).push_back('=');
  size_t match = image.find(pattern, header_end);
  if (match == std::string_view::npos) return std::nullopt;
  EntryRange entry;
  entry.key_start = match + 2;
  if (FindHeaderBetween(image, header_end + 1, entry.key_start - 1) != std::string_view::npos) {
    return std::nullopt;
  }
  entry.value_start = entry.key_start + key.size() + 1;
  entry.value_end = image.find("\r\n", entry.value_start);
  if (entry.value_end == std::string_view::npos) entry.value_end = image.size();
  return entry;
}

std::vector<std::string_view> SplitLines(std::string_view image) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t end; (end = image.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
    lines.push_back(image.substr(start, end - start));
  }
  lines.push_back(image.substr(start));
  return lines;
}

std::optional<std::string_view> HeaderName(std::string_view line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

}  // namespace keelnode
