#include "json/tree_item_list.h"

#include <algorithm>
#include <cstring>

#include "services/huge_pages.h"
#include "services/mbcs.h"
#include "services/regex_service.h"

namespace keelnode {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// ASCII letters of single-byte units lowered; multi-byte units untouched.
std::string LowerAsciiUnits(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    size_t len = UnitLength(out, i);
    if (len == 1) out[i] = AsciiLower(out[i]);
    i += len;
  }
  return out;
}

// Whether `needle` occurs in `hay` starting at a unit boundary, from `from`
// (a unit start) on, by a failure table: each byte of `hay` is looked at a
// bounded number of times however the hits fall.
bool ContainsAtUnitBoundarySlow(std::string_view hay, std::string_view needle, size_t from) {
  const size_t m = needle.size();
  std::vector<size_t> fail(m + 1, 0);  // longest proper border of needle[0, k)
  for (size_t k = 1, b = 0; k < m; ++k) {
    while (b > 0 && needle[k] != needle[b])
      b = fail[b];
    if (needle[k] == needle[b]) ++b;
    fail[k + 1] = b;
  }
  // Unit starts of the last m positions, as a ring.
  std::vector<char> starts(m, 0);
  size_t next_start = from;
  size_t matched = 0;
  for (size_t i = from; i < hay.size(); ++i) {
    starts[i % m] = i == next_start;
    if (i == next_start) next_start += UnitLength(hay, i);
    while (matched > 0 && hay[i] != needle[matched])
      matched = fail[matched];
    if (hay[i] == needle[matched]) ++matched;
    if (matched == m) {
      if (starts[(i + 1 - m) % m]) return true;
      matched = fail[m];
    }
  }
  return false;
}

// Whether `needle` occurs in `hay` starting at a unit boundary.
bool ContainsAtUnitBoundary(std::string_view hay, std::string_view needle) {
  if (needle.empty() || needle.size() > hay.size()) return false;
  const void* hit = memmem(hay.data(), hay.size(), needle.data(), needle.size());
  if (hit == nullptr) return false;
  const size_t at = static_cast<const char*>(hit) - hay.data();
  // Confirm the hit starts a unit by walking units from the start.
  size_t i = 0;
  while (i < at)
    i += UnitLength(hay, i);
  if (i == at) return true;
  // A hit inside a character: such hits may come one after another, so
  // the rest is matched in one linear pass instead of search after search.
  return ContainsAtUnitBoundarySlow(hay, needle, i);
}

// One search request, compiled once for all candidates.
class LabelMatcher {
 public:
  LabelMatcher(std::string_view text, bool ignore_case, bool whole_text, bool pattern_mode,
               bool wildcard)
      : ignore_case_(ignore_case), whole_text_(whole_text), pattern_mode_(pattern_mode) {
    if (pattern_mode_) {
      regex_.Compile(wildcard ? RegexService::WildcardToPattern(text) : std::string(text),
                     ignore_case, true, false);
    } else {
      needle_ = ignore_case_ ? LowerAsciiUnits(text) : std::string(text);
    }
  }

  bool Matches(std::string_view label) {
    if (pattern_mode_) {
      if (!whole_text_) return regex_.Matches(label);
      return regex_.Execute(label) == 1 && regex_.MatchValue(1) == label;
    }
    std::string_view hay = label;
    if (ignore_case_) {
      lowered_ = LowerAsciiUnits(label);
      hay = lowered_;
    }
    return whole_text_ ? hay == needle_ : ContainsAtUnitBoundary(hay, needle_);
  }

 private:
  bool ignore_case_;
  bool whole_text_;
  bool pattern_mode_;
  RegexService regex_;
  std::string needle_;
  std::string lowered_;
};

void AppendInt32LE(std::string& out, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
                   static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24 & 0xFF)};
  out.append(bytes, 4);
}

template <typename Test>
std::vector<int> ListWhere(std::string_view bytes, Test&& test) {
  std::vector<int> out;
  ForEachTreeItem(bytes, [&](int index, const TreeItemRecord& record) {
    if (test(record)) out.push_back(index);
    return true;
  });
  return out;
}

// Every `from` replaced by `to`, left to right, in one pass.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t last = 0;
  for (size_t pos = text.find(from); pos != std::string_view::npos; pos = text.find(from, last)) {
    out.append(text.substr(last, pos - last));
    out.append(to);
    last = pos + from.size();
  }
  out.append(text.substr(last));
  return out;
}

}  // namespace

void TreeItemList::Clear() {
  buffer_.clear();
  counter_ = -1;
}

void TreeItemList::Load(std::string bytes) {
  buffer_ = std::move(bytes);
}

std::string TreeItemList::TakeBytes() {
  std::string out = std::move(buffer_);
  buffer_.clear();
  return out;
}

int TreeItemList::AddItem(std::string_view label, int image, int selectedImage, int value,
                          int check, int state, int depth) {
  // A label never holds a zero byte: it would end the record early.
  label = label.substr(0, std::min(label.size(), label.find('\0')));
  if (state > 3 || state < 0) state = 3;
  if (depth <= 0) depth = 1;
  buffer_.append(label);
  buffer_.push_back('\0');
  AppendInt32LE(buffer_, image);
  AppendInt32LE(buffer_, selectedImage);
  AppendInt32LE(buffer_, value);
  buffer_.push_back(static_cast<char>(check));
  buffer_.append(2, '\0');
  buffer_.push_back(static_cast<char>(16 * (state + 1)));
  AppendInt32LE(buffer_, depth);
  return ++counter_;
}

int TreeItemList::FindForward(std::optional<int> start, std::string_view text, bool ignoreCase,
                              bool wholeText, bool patternMode, bool wildcard, std::string* label,
                              const int* cancel) const {
  const int first = start.value_or(-1);
  LabelMatcher matcher(text, ignoreCase, wholeText, patternMode, wildcard);
  int found = -1;
  ForEachTreeItem(buffer_, [&](int index, const TreeItemRecord& record) {
    if (cancel && *cancel != 0) return false;
    if (index <= first) return true;
    if (label) label->assign(record.label);
    if (!matcher.Matches(record.label)) return true;
    found = index;
    return false;
  });
  return found;
}

int TreeItemList::FindBackward(std::optional<int> start, std::string_view text, bool ignoreCase,
                               bool wholeText, bool patternMode, bool wildcard, std::string* label,
                               const int* cancel) const {
  std::vector<std::string_view> labels;
  bool cancelled = false;
  ForEachTreeItem(buffer_, [&](int, const TreeItemRecord& record) {
    if (cancel && *cancel != 0) {
      cancelled = true;
      return false;
    }
    labels.push_back(record.label);
    return true;
  });
  if (cancelled) return -1;
  const int limit =
      std::min(start.value_or(static_cast<int>(labels.size())), static_cast<int>(labels.size()));
  LabelMatcher matcher(text, ignoreCase, wholeText, patternMode, wildcard);
  for (int index = limit - 1; index >= 0; --index) {
    if (label) label->assign(labels[index]);
    if (matcher.Matches(labels[index])) return index;
  }
  return -1;
}

std::vector<int> TreeItemList::ListMatching(std::string_view text, bool ignoreCase, bool wholeText,
                                            bool patternMode, bool wildcard) const {
  LabelMatcher matcher(text, ignoreCase, wholeText, patternMode, wildcard);
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return matcher.Matches(r.label); });
}

std::vector<int> TreeItemList::ListByState(bool flag) const {
  const uint8_t wanted = flag ? 16 : 32;
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return r.state == wanted; });
}

std::vector<int> TreeItemList::ListChecked() const {
  return ListWhere(buffer_, [](const TreeItemRecord& r) { return (r.check & 2) != 0; });
}

std::vector<int> TreeItemList::ListByDepth(int depth) const {
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return r.depth == depth; });
}

std::vector<int> TreeItemList::ListByImage(int image) const {
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return r.image == image; });
}

std::vector<int> TreeItemList::ListByValue(int value) const {
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return r.value == value; });
}

std::vector<int> TreeItemList::ListBySelectedImage(int number) const {
  return ListWhere(buffer_, [&](const TreeItemRecord& r) { return r.selectedImage == number; });
}

int TreeItemList::FindByPath(std::string_view path) const {
  if (path.empty()) return -1;
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t sep = FindAsciiByte(path, '\\', start);
    const std::string_view part =
        path.substr(start, sep == std::string_view::npos ? sep : sep - start);
    parts.push_back(ReplaceAll(ReplaceAll(part, "%5C", "\\"), "%5c", "\\"));
    if (sep == std::string_view::npos) break;
    start = sep + 1;
  }
  int level = 1;
  int result = -1;
  ForEachTreeItem(buffer_, [&](int index, const TreeItemRecord& record) {
    if (record.depth < level) return false;
    if (record.depth == level && (level == 1 || record.label == parts[level - 1])) {
      result = index;
      ++level;
      if (level > static_cast<int>(parts.size())) return false;
    }
    return true;
  });
  return result;
}

void TreeItemList::Reserve(size_t bytes) {
  const bool fresh = buffer_.capacity() < bytes;
  buffer_.reserve(bytes);
  if (fresh && bytes >= kHugePageAdviceBytes) AdviseHugePages(buffer_.data(), buffer_.capacity());
}

}  // namespace keelnode
