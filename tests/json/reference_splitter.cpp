#include "reference_splitter.h"

#include "json/json_parser.h"
#include "json/text_preparation.h"
#include "services/mbcs.h"
#include "services/regex_service.h"

namespace keelnode::reference {
namespace {

const std::string kFullWidthSpace = "\xA1\xA1";

std::string Pattern(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "''") == 0) {
      out.push_back('"');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

RegexService Compiled(const std::string& pattern) {
  RegexService regex;
  regex.Compile(pattern);
  return regex;
}

}  // namespace

std::string CleanName(std::string_view text) {
  static const RegexService regex =
      Compiled(Pattern("[\\s" + kFullWidthSpace + "]+''|''[\\s" + kFullWidthSpace + "]+|^[ " +
                       kFullWidthSpace + "''\\t]+|[ " + kFullWidthSpace + "''\\t]+$"));
  return regex.Replace(text, "");
}

std::string TrimValue(std::string_view text) {
  static const RegexService regex =
      Compiled("^[ " + kFullWidthSpace + "\\t]+|[ " + kFullWidthSpace + "\\t]+$");
  return regex.Replace(text, "");
}

std::string CompactWhitespace(std::string_view text) {
  static const RegexService before = Compiled(Pattern("[\\s" + kFullWidthSpace + "]+(\\[|{|'')"));
  static const RegexService after = Compiled(Pattern("(\\]|}|'')[\\s" + kFullWidthSpace + "]+"));
  return after.Replace(before.Replace(text, "$1"), "$1");
}

void Splitter::load(std::string_view text) {
  std::string t(text);
  t = ReplaceAllUnits(t, "\\\\", "\\|\\|");
  t = ReplaceAllUnits(t, "\\\"", "#SYH#");
  t = ReplaceAllUnits(t, "\\|\\|", "\\\\");
  text_ = CompactWhitespace(t);
  // Multi-byte units are never delimiters: mark them out first.
  masked_ = text_;
  for (size_t i = 0; i < masked_.size(); i += UnitLength(text_, i)) {
    if (UnitLength(text_, i) == 2) {
      masked_[i] = '\x01';
      masked_[i + 1] = '\x02';
    }
  }
  int64_t hits = 0, open = 0;
  for (int64_t p = find('"', 1); p != -1; p = find('"', p + 1)) {
    ++hits;
    if (hits % 2 == 1) {
      open = p;
    } else {
      for (int64_t k = open + 1; k < p; ++k)
        masked_[k - 1] = ' ';
    }
  }
}

int64_t Splitter::find(char c, int64_t from) const {
  if (from < 1) from = 1;
  for (int64_t i = from; i <= static_cast<int64_t>(masked_.size()); ++i)
    if (masked_[i - 1] == c) return i;
  return -1;
}

bool Splitter::isBalanced(int64_t start, int64_t end) const {
  if (start == -1 || end == -1) return false;
  auto count = [&](char c) {
    int64_t n = 0;
    for (int64_t p = find(c, start + 1); p != -1 && p < end; p = find(c, p + 1))
      ++n;
    return n;
  };
  return count('{') == count('}') && count('[') == count(']') && count('"') % 2 == 0;
}

std::string Splitter::scanMemberName(int64_t pos, int64_t* out) const {
  const int64_t n = static_cast<int64_t>(masked_.size());
  const char at = pos >= 1 && pos <= n ? masked_[pos - 1] : '\0';
  if (at != '{' && at != ',') {
    int64_t brace = find('{', pos);
    if (brace != -1) pos = brace;
  }
  const int64_t q1 = find('"', pos);
  const int64_t q2 = q1 == -1 ? -1 : find('"', q1 + 1);
  int64_t c = pos;
  do {
    c = find(':', c + 1);
  } while (c != -1 && q1 <= c && c <= q2);
  if (c == -1) {
    *out = -1;
    return "超出";
  }
  *out = c;
  return CleanName(c - pos - 1 > 0 ? text_.substr(pos, c - pos - 1) : "");
}

std::string Splitter::scanMemberValue(int64_t pos, int64_t* out) const {
  const int64_t n = static_cast<int64_t>(masked_.size());
  int64_t e = pos, last = 0;
  while (true) {
    const int64_t a = find('[', e + 1), b = find('{', e + 1), c = find(',', e + 1),
                  d = find('}', e + 1);
    e = c != -1 && (c < d || d == -1) ? c : d != -1 ? d : n + 1;
    bool to_balance = false;
    if (a != -1 && a < e) {
      e = find(']', a + 1);
      to_balance = e != -1;
    } else if (b != -1 && b < e) {
      e = find('}', b + 1);
      to_balance = e != -1;
    }
    if (!to_balance) {
      if (e == last || e == -1 || e < last) {
        *out = -1;
        return "超出";
      }
      last = e;
    }
    if (isBalanced(pos, e)) {
      *out = e;
      return e - pos - 1 > 0 ? text_.substr(pos, e - pos - 1) : "";
    }
  }
}

std::vector<std::pair<std::string, std::string>> Splitter::splitMembers(std::string_view text,
                                                                        bool reload) {
  if (reload) load(text);
  std::vector<std::pair<std::string, std::string>> members;
  int64_t pos = find('{', 1);
  if (pos == -1) return members;
  do {
    std::string name = scanMemberName(pos, &pos);
    if (pos == -1) break;
    std::string value = TrimValue(scanMemberValue(pos, &pos));
    if (pos == -1) break;
    members.emplace_back(name, value);
  } while (pos != -1);
  return members;
}

std::vector<std::string> Splitter::splitItems(std::string_view text, bool reload) {
  if (reload) load(text);
  std::vector<std::string> items;
  int64_t s = find('[', 1);
  while (s != -1) {
    int64_t e = s;
    do {
      int64_t next = find(',', e + 1);
      e = next != -1 ? next : find(']', e + 1);
    } while (e != -1 && !isBalanced(s, e));
    if (e == -1) break;
    items.push_back(TrimValue(e - s - 1 > 0 ? text_.substr(s, e - s - 1) : ""));
    s = e;
  }
  if (items.size() == 1 && items[0].empty()) items.clear();
  return items;
}

namespace {

struct Loader {
  bool zeroBased;
  Splitter splitter;
  std::vector<Node> nodes;

  void Add(const std::string& name, const std::string& value, int level) {
    const int kind = JsonParser::valueKind(value);
    nodes.push_back({name, kind, value, level});
    if (kind == 1) {
      for (const auto& [n, v] : splitter.splitMembers(value, true))
        Add(n, v, level + 1);
    } else if (kind == 2) {
      const auto items = splitter.splitItems(value, true);
      for (size_t i = 0; i < items.size(); ++i)
        Add("[" + std::to_string(i + (zeroBased ? 0 : 1)) + "]", items[i], level + 1);
    }
  }
};

}  // namespace

std::vector<Node> LoadDocument(std::string text, bool zeroBased, bool singleQuote) {
  if (singleQuote) text = ConvertSingleQuotes(text);
  Loader loader{zeroBased, {}, {}};
  std::string current = text;
  for (int attempt = 1; attempt <= 2; ++attempt) {
    loader.splitter.load(current);
    const int64_t a = loader.splitter.find('{', 1), b = loader.splitter.find('[', 1);
    if (a == -1 && b == -1) {
      if (attempt == 1) {
        current = "[" + current + "]";
        continue;
      }
      loader.nodes.push_back({"JSON", 1, text, 1});
      break;
    }
    const bool members = a != -1 && (b == -1 || a < b);
    loader.nodes.push_back({"JSON", members ? 1 : 2, text, 1});
    if (members) {
      for (const auto& [n, v] : loader.splitter.splitMembers({}, false))
        loader.Add(n, v, 2);
    } else {
      const auto items = loader.splitter.splitItems({}, false);
      for (size_t i = 0; i < items.size(); ++i)
        loader.Add("[" + std::to_string(i + (zeroBased ? 0 : 1)) + "]", items[i], 2);
    }
    break;
  }
  return loader.nodes;
}

std::string ValueAtPath(const std::vector<Node>& nodes, std::string_view path) {
  const std::vector<std::string> segments = JsonParser::PathSegments(path);
  if (path.empty() || segments.empty()) return CompactWhitespace(nodes[0].value);
  // Literal forward search with subtree skipping by child count.
  auto child_count = [&](size_t i) {
    int count = 0;
    for (size_t k = i + 1; k < nodes.size() && nodes[k].level > nodes[i].level; ++k)
      count += nodes[k].level == nodes[i].level + 1;
    return count;
  };
  size_t cur = 1;  // node number
  for (size_t k = 1; k <= segments.size(); ++k) {
    const int level = static_cast<int>(k) + 1;
    size_t i = cur;
    size_t found = 0;
    while (i < nodes.size()) {
      if (nodes[i].level == level) {
        if (nodes[i].name == segments[k - 1]) {
          found = i + 1;
          break;
        }
        ++i;
      } else if (nodes[i].level < level) {
        break;
      } else {
        i = i + 1 + child_count(i);
      }
    }
    if (found == 0) return {};
    cur = found;
  }
  return RestoreEscapedQuotes(CleanName(nodes[cur - 1].value));
}

}  // namespace keelnode::reference
