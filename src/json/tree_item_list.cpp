#include "json/tree_item_list.h"

#include <algorithm>
#include <cstring>

#include "json/text_matcher.h"
#include "services/huge_pages.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

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

namespace {

LabelSearch SearchOf(std::string_view text, bool ignoreCase, bool wholeText, bool patternMode,
                     bool wildcard) {
  return {.text = text,
          .mode = MatchModeOf(patternMode, wildcard),
          .letterCase = ignoreCase ? LetterCase::kIgnore : LetterCase::kExact,
          .wholeText = wholeText};
}

}  // namespace

int TreeItemList::FindForward(std::optional<int> start, std::string_view text, bool ignoreCase,
                              bool wholeText, bool patternMode, bool wildcard, std::string* label,
                              const int* cancel) const {
  return Find(SearchOf(text, ignoreCase, wholeText, patternMode, wildcard), start,
              SearchDirection::kForward, {.lastLabel = label, .cancel = cancel})
      .value_or(-1);
}

int TreeItemList::FindBackward(std::optional<int> start, std::string_view text, bool ignoreCase,
                               bool wholeText, bool patternMode, bool wildcard, std::string* label,
                               const int* cancel) const {
  return Find(SearchOf(text, ignoreCase, wholeText, patternMode, wildcard), start,
              SearchDirection::kBackward, {.lastLabel = label, .cancel = cancel})
      .value_or(-1);
}

std::vector<int> TreeItemList::ListMatching(std::string_view text, bool ignoreCase, bool wholeText,
                                            bool patternMode, bool wildcard) const {
  return FindAll(SearchOf(text, ignoreCase, wholeText, patternMode, wildcard))
      .value_or(std::vector<int>());
}

Result<int, RegexError> TreeItemList::Find(const LabelSearch& search, std::optional<int> start,
                                           SearchDirection direction, SearchWatch watch) const {
  return direction == SearchDirection::kForward ? FindAfter(search, start, watch)
                                                : FindBefore(search, start, watch);
}

Result<int, RegexError> TreeItemList::FindAfter(const LabelSearch& search, std::optional<int> start,
                                                SearchWatch watch) const {
  const int first = start.value_or(-1);
  TextMatcher matcher(search);
  int found = -1;
  std::optional<RegexError> stopped;
  ForEachTreeItem(buffer_, [&](int index, const TreeItemRecord& record) {
    if (watch.cancel && *watch.cancel != 0) return false;
    if (index <= first) return true;
    if (watch.lastLabel) watch.lastLabel->assign(record.label);
    Result<bool, RegexError> passed = matcher.Test(record.label);
    if (!passed) {
      stopped = std::move(passed).error();
      return false;
    }
    if (!*passed) return true;
    found = index;
    return false;
  });
  if (stopped) return Fail(std::move(*stopped));
  return found;
}

Result<int, RegexError> TreeItemList::FindBefore(const LabelSearch& search,
                                                 std::optional<int> start,
                                                 SearchWatch watch) const {
  std::vector<std::string_view> labels;
  bool cancelled = false;
  ForEachTreeItem(buffer_, [&](int, const TreeItemRecord& record) {
    if (watch.cancel && *watch.cancel != 0) {
      cancelled = true;
      return false;
    }
    labels.push_back(record.label);
    return true;
  });
  if (cancelled) return -1;
  const int limit =
      std::min(start.value_or(static_cast<int>(labels.size())), static_cast<int>(labels.size()));
  TextMatcher matcher(search);
  for (int index = limit - 1; index >= 0; --index) {
    if (watch.lastLabel) watch.lastLabel->assign(labels[index]);
    Result<bool, RegexError> passed = matcher.Test(labels[index]);
    if (!passed) return Fail(std::move(passed).error());
    if (*passed) return index;
  }
  return -1;
}

Result<std::vector<int>, RegexError> TreeItemList::FindAll(const LabelSearch& search) const {
  TextMatcher matcher(search);
  std::vector<int> out;
  std::optional<RegexError> stopped;
  ForEachTreeItem(buffer_, [&](int index, const TreeItemRecord& record) {
    Result<bool, RegexError> passed = matcher.Test(record.label);
    if (!passed) {
      stopped = std::move(passed).error();
      return false;
    }
    if (*passed) out.push_back(index);
    return true;
  });
  if (stopped) return Fail(std::move(*stopped));
  return out;
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
