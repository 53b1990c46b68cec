// Path forms: splitting an internal-form path into segments, and converting
// between the internal form ("a.[0].b") and the compact form ("a[0].b").
#include "json/json_parser.h"
#include "json/path_forms.h"
#include "json/text_preparation.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of an index segment "[" digits "]" at `i`, or 0.
size_t IndexSegmentAt(std::string_view text, size_t i) {
  if (i >= text.size() || text[i] != '[') return 0;
  size_t j = i + 1;
  while (j < text.size() && IsDigit(text[j]))
    ++j;
  if (j == i + 1 || j >= text.size() || text[j] != ']') return 0;
  return j + 1 - i;
}

}  // namespace

std::vector<std::string> JsonParser::PathSegments(std::string_view path_text) {
  std::vector<std::string> segments;
  if (path_text.find_first_of("'\"") == std::string_view::npos) {
    // No quotes: every dot separates two segments.
    size_t start = 0;
    while (true) {
      const size_t dot = FindAsciiByte(path_text, '.', start);
      segments.push_back(CleanName(path_text.substr(start, dot == npos ? npos : dot - start)));
      if (dot == npos) return segments;
      start = dot + 1;
    }
  }
  const std::string path = ReplaceAllUnits(path_text, "''", "\"");
  size_t start = 0;  // 1-based position of the last accepted dot; 0 before the text
  size_t dot = 0;
  size_t quotesFrom = npos;
  size_t q1 = npos;
  size_t q2 = npos;
  while (true) {
    size_t hit = dot < path.size() ? FindAsciiByte(path, '.', dot) : npos;
    const bool last_pass = hit == npos;
    dot = last_pass ? path.size() + 1 : hit + 1;
    // Only the first two quotes after `start` are looked at; they change
    // only when `start` does, so a long quoted name is searched once.
    if (start != quotesFrom) {
      quotesFrom = start;
      q1 = start < path.size() ? FindAsciiByte(path, '"', start) : npos;
      q2 = q1 == npos || q1 + 1 >= path.size() ? npos : FindAsciiByte(path, '"', q1 + 1);
    }
    int quotes = (q1 != npos && q1 + 1 < dot) + (q2 != npos && q2 + 1 < dot);
    if (quotes != 1) {
      segments.push_back(CleanName(std::string_view(path).substr(start, dot - start - 1)));
      start = dot;
    }
    if (last_pass) break;
  }
  return segments;
}

int JsonParser::splitPath(std::string_view path) {
  pathSegments_ = PathSegments(path);
  return static_cast<int>(pathSegments_.size());
}

std::string CompactPath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  size_t i = 0;
  // "." directly before an index segment goes.
  while (i < path.size()) {
    size_t len = UnitLength(path, i);
    if (len == 1 && path[i] == '.') {
      if (size_t index = IndexSegmentAt(path, i + 1)) {
        out.append(path.substr(i + 1, index));
        i += 1 + index;
        continue;
      }
    }
    out.append(path.substr(i, len));
    i += len;
  }
  return out;
}

std::string ExpandCompactPath(std::string_view path) {
  std::string out;
  out.reserve(path.size() + 8);
  size_t i = 0;
  // An index segment after any character but "." gets a "." before it;
  // a "." right after the segment is taken along, so matches never overlap.
  while (i < path.size()) {
    size_t len = UnitLength(path, i);
    size_t index = (len == 1 && path[i] == '.') ? 0 : IndexSegmentAt(path, i + len);
    out.append(path.substr(i, len));
    i += len;
    if (index == 0) continue;
    out.push_back('.');
    out.append(path.substr(i, index));
    i += index;
    if (i < path.size() && path[i] == '.') {
      out.push_back('.');
      ++i;
    }
  }
  return out;
}

std::string JsonParser::normalisePath(std::string_view path, int mode) const {
  if (mode == 0) return CompactPath(path);
  if (mode == 1) return ExpandCompactPath(path);
  return {};
}

}  // namespace keelnode
