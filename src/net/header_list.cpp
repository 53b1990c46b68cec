#include "net/header_list.h"

#include "services/ascii_case.h"

namespace keelnode {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace

void HeaderList::set(std::string_view name, std::string_view value) {
  if (name.empty() || name.find_first_of(": \t\r\n") != std::string_view::npos ||
      value.find_first_of("\r\n") != std::string_view::npos)
    return;
  for (auto& [existing, old] : headers_) {
    if (equalNoCase(existing, name)) {
      old = value;
      return;
    }
  }
  headers_.emplace_back(name, value);
}

bool HeaderList::has(std::string_view name) const {
  for (const auto& header : headers_) {
    if (equalNoCase(header.first, name)) return true;
  }
  return false;
}

void HeaderList::addLines(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
    const size_t colon = line.find(": ");
    if (colon == std::string_view::npos || colon == 0 || colon + 2 == line.size()) continue;
    set(line.substr(0, colon), line.substr(colon + 2));
  }
}

std::vector<std::string> HeaderList::curlLines(
    std::initializer_list<std::string_view> suppressed) const {
  std::vector<std::string> lines;
  for (const auto& [name, value] : headers_)
    lines.push_back(value.empty() ? name + ";" : name + ": " + value);
  for (std::string_view name : suppressed) {
    if (!has(name)) lines.push_back(std::string(name) + ":");
  }
  return lines;
}

}  // namespace keelnode
