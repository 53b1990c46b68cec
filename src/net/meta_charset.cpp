#include "net/meta_charset.h"

#include <string>
#include <utility>
#include <vector>

#include "net/keyword_list.h"
#include "services/ascii_case.h"

namespace keelnode {
namespace {

const std::vector<std::pair<std::vector<std::string>, CharsetMode>>& charsetKeywords() {
  static const std::vector<std::pair<std::vector<std::string>, CharsetMode>> lists = {
      {keywordList("charset=UTF-8[fg]charset=''UTF-8''[fg]charset='UTF-8'", "[fg]"),
       CharsetMode::Utf8},
      {keywordList("charset=Big5[fg]charset=''Big5''[fg]charset='Big5'", "[fg]"),
       CharsetMode::Big5},
      {keywordList("charset=Big5-HKSCS[fg]charset=''Big5-HKSCS''[fg]charset='Big5-HKSCS'", "[fg]"),
       CharsetMode::Big5Hkscs},
  };
  return lists;
}

// The text between the first "<head>" and the first "</head>" after it, or
// the whole text when that is missing or empty.
std::string_view headRegion(std::string_view text) {
  constexpr std::string_view kOpen = "<head>";
  const size_t open = FindNoCase(text, kOpen);
  if (open == std::string_view::npos) return text;
  const size_t start = open + kOpen.size();
  const size_t close = FindNoCase(text, "</head>", start);
  if (close == std::string_view::npos || close == start) return text;
  return text.substr(start, close - start);
}

}  // namespace

std::optional<CharsetMode> findMetaCharset(std::string_view text) {
  constexpr std::string_view kMeta = "<meta";
  const std::string_view region = headRegion(text);
  size_t pos = 0;
  while (true) {
    const size_t meta = FindNoCase(region, kMeta, pos);
    if (meta == std::string_view::npos) return std::nullopt;
    const size_t start = meta + kMeta.size();
    const size_t end = region.find('>', start);
    if (end == std::string_view::npos || end == start) return std::nullopt;
    const std::string_view fragment = region.substr(start, end - start);
    for (const auto& [keywords, mode] : charsetKeywords()) {
      if (containsAnyNoCase(fragment, keywords)) return mode;
    }
    pos = end + 1;
  }
}

}  // namespace keelnode
