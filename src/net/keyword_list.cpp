#include "net/keyword_list.h"

#include "services/ascii_case.h"

namespace keelnode {

std::vector<std::string> keywordList(std::string_view literal, std::string_view separator) {
  std::string quoted;
  for (size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] == '\'' && i + 1 < literal.size() && literal[i + 1] == '\'') {
      quoted += '"';
      ++i;
    } else {
      quoted += literal[i];
    }
  }
  std::vector<std::string> keywords;
  size_t start = 0;
  while (true) {
    const size_t end = quoted.find(separator, start);
    keywords.push_back(quoted.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + separator.size();
  }
  return keywords;
}

bool containsAnyNoCase(std::string_view text, const std::vector<std::string>& keywords) {
  for (const std::string& keyword : keywords) {
    if (!keyword.empty() && ContainsNoCase(text, keyword)) return true;
  }
  return false;
}

}  // namespace keelnode
