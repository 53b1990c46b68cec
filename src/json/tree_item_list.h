// The flat, pre-order block of tree item records that a tab's tree shows.
//
// The load pipeline builds one from a document and hands its bytes to the tree
// in one piece; the search reads the same bytes back and scans them. Record
// layout (integers little-endian), every record its label plus 21 bytes:
//
//   label bytes (no zero byte inside), 0x00,
//   image (int32), selected image (int32), item value (int32),
//   check byte, two zero bytes, state byte = 16 * (state code + 1),
//   depth (int32, at least 1).
//
// Items are numbered from 0 in buffer order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/text_matcher.h"
#include "services/regex_service.h"
#include "services/result.h"

namespace keelnode {

struct TreeItemRecord {
  std::string_view label;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t value = 0;
  uint8_t check = 0;
  uint8_t state = 16;
  int32_t depth = 1;
};

// Walks the records of a block, calling visit(index, record) for each; stops
// early when visit returns false. A last record without its zero byte, or
// with fewer than 21 bytes after it, ends the walk. Returns the records seen.
template <typename Visit>
int ForEachTreeItem(std::string_view bytes, Visit&& visit);

enum class SearchDirection { kForward, kBackward };

// What a caller may watch of a running search.
struct SearchWatch {
  std::string* lastLabel = nullptr;  // receives the label of the last candidate tested
  const int* cancel = nullptr;       // non-zero: stop with -1
};

class TreeItemList {
 public:
  // Bytes of the state code, the check value and so on as stored.
  static constexpr size_t kFixedBytes = 21;

  void Clear();
  // Replaces the whole buffer; the item counter is left as it was.
  void Load(std::string bytes);

  // First matching item after `start` (none: every item is a candidate).
  // `label`, when given, receives the label of the last candidate tested;
  // a non-zero *cancel stops the walk with -1.
  int FindForward(std::optional<int> start, std::string_view text, bool ignoreCase, bool wholeText,
                  bool patternMode, bool wildcard, std::string* label = nullptr,
                  const int* cancel = nullptr) const;
  // Nearest matching item before `start` (none: the number of items).
  int FindBackward(std::optional<int> start, std::string_view text, bool ignoreCase, bool wholeText,
                   bool patternMode, bool wildcard, std::string* label = nullptr,
                   const int* cancel = nullptr) const;

  // Every item that passes FindForward's test, in ascending order.
  std::vector<int> ListMatching(std::string_view text, bool ignoreCase, bool wholeText,
                                bool patternMode, bool wildcard) const;

  // The searches with a runaway expression told apart from "nothing found":
  // a search stops at the first label its expression runs away on (the
  // legacy calls above take that as no match).
  //
  // Find: the first matching item after `start` (none: every item is a
  // candidate) going forward, or the nearest before it (none: the number of
  // items) going backward; -1 when there is none or `watch.cancel` was set.
  Result<int, RegexError> Find(const LabelSearch& search, std::optional<int> start,
                               SearchDirection direction, SearchWatch watch = {}) const;
  // Every matching item, in ascending order.
  Result<std::vector<int>, RegexError> FindAll(const LabelSearch& search) const;

  std::vector<int> ListByState(bool flag) const;
  std::vector<int> ListChecked() const;
  std::vector<int> ListByDepth(int depth) const;
  std::vector<int> ListByImage(int image) const;
  std::vector<int> ListByValue(int value) const;
  std::vector<int> ListBySelectedImage(int number) const;

  // Returns the incremented item counter.
  int AddItem(std::string_view label, int image, int selectedImage, int value, int check, int state,
              int depth);
  // Labels separated by "\" ("%5C" stands for a backslash inside a label);
  // the deepest item matched, or -1.
  int FindByPath(std::string_view path) const;

  const std::string& GetBytes() const { return buffer_; }
  // Hands the buffer over without a copy; the list is empty afterwards.
  std::string TakeBytes();
  int counter() const { return counter_; }
  void Reserve(size_t bytes);

 private:
  Result<int, RegexError> FindAfter(const LabelSearch& search, std::optional<int> start,
                                    SearchWatch watch) const;
  Result<int, RegexError> FindBefore(const LabelSearch& search, std::optional<int> start,
                                     SearchWatch watch) const;

  std::string buffer_;
  int counter_ = 0;
};

// --- implementation of the record walk ---

inline int32_t ReadInt32LE(const char* p) {
  auto b = [p](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(p[i])); };
  return static_cast<int32_t>(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
}

template <typename Visit>
int ForEachTreeItem(std::string_view bytes, Visit&& visit) {
  int index = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t zero = bytes.find('\0', pos);
    if (zero == std::string_view::npos || bytes.size() - zero < TreeItemList::kFixedBytes) break;
    const char* f = bytes.data() + zero + 1;
    TreeItemRecord record;
    record.label = bytes.substr(pos, zero - pos);
    record.image = ReadInt32LE(f);
    record.selectedImage = ReadInt32LE(f + 4);
    record.value = ReadInt32LE(f + 8);
    record.check = static_cast<uint8_t>(f[12]);
    record.state = static_cast<uint8_t>(f[15]);
    record.depth = ReadInt32LE(f + 16);
    bool go_on = visit(index, record);
    ++index;
    pos = zero + TreeItemList::kFixedBytes;
    if (!go_on) break;
  }
  return index;
}

}  // namespace keelnode
