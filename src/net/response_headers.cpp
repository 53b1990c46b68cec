#include "net/response_headers.h"

#include "net/keyword_list.h"
#include "services/ascii_case.h"

namespace keelnode {
namespace {

constexpr size_t kMaxCharsetName = 40;

// Calls `visit(value)` for every line "name: value" of the block.
template <typename Visit>
void forEachHeader(std::string_view headers, std::string_view name, Visit&& visit) {
  while (!headers.empty()) {
    const size_t end = headers.find('\n');
    std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() <= name.size() || line[name.size()] != ':' || !StartsWithNoCase(line, name))
      continue;
    std::string_view value = line.substr(name.size() + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    visit(value);
  }
}

std::string_view trimBlanks(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool isCharsetName(std::string_view name) {
  if (name.empty() || name.size() > kMaxCharsetName) return false;
  for (char c : name) {
    const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                         (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
    if (!allowed) return false;
  }
  return true;
}

}  // namespace

bool headerSaysUtf8(std::string_view headers) {
  static const std::vector<std::string> keywords =
      keywordList("charset=utf-8|charset=''utf-8''|charset='utf-8'", "|");
  return containsAnyNoCase(headers, keywords);
}

std::vector<std::string> cookiePairs(std::string_view headers) {
  std::vector<std::string> pairs;
  forEachHeader(headers, "Set-Cookie", [&](std::string_view value) {
    const std::string_view pair = trimBlanks(value.substr(0, value.find(';')));
    if (!pair.empty()) pairs.emplace_back(pair);
  });
  return pairs;
}

std::string declaredCharset(std::string_view headers) {
  std::string charset;
  forEachHeader(headers, "Content-Type", [&](std::string_view value) {
    constexpr std::string_view kKey = "charset=";
    const size_t at = FindNoCase(value, kKey);
    if (at == std::string_view::npos) return;
    std::string_view name = value.substr(at + kKey.size());
    name = trimBlanks(name.substr(0, name.find(';')));
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') &&
        name.back() == name.front())
      name = name.substr(1, name.size() - 2);
    charset = isCharsetName(name) ? std::string(name) : std::string();
  });
  return charset;
}

}  // namespace keelnode
