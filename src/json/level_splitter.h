// Splitting one level of prepared JSON text into members or items.
//
// A level is a range of a PreparedText. The scans follow the splitter's
// rules to the letter (candidate ends, balance test, the "超出" stop), with
// positions 1-based within the level, but search and count in linear time:
// delimiter searches remember their answers, balance counts grow with the
// candidate end instead of restarting, and long properly closed groups are
// stepped over whole.
//
// Results are views into the level's text where the splitter's cleaning
// leaves a contiguous slice; otherwise the cleaned text is handed to `keep`,
// which stores it and returns a view that outlives the splitter.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "json/prepared_text.h"
#include "services/huge_pages.h"

namespace keelnode {

struct Level {
  const PreparedText* base = nullptr;
  size_t offset = 0;
  size_t length = 0;

  std::string_view text() const { return base->text().substr(offset, length); }
  std::string_view masked() const { return base->masked().substr(offset, length); }
};

// A member (name, value) or an item (value only). `valueOffset` is the
// absolute position of the value in the level's base when the value is a
// slice of it, or npos when it was rebuilt by trimming.
struct SplitEntry {
  std::string_view name;
  std::string_view value;
  size_t valueOffset;
  // Index of the first long group at or after the value, for splitting the
  // value in place (see LevelSplitter's `group_hint`).
  size_t groupHint = static_cast<size_t>(-1);
};

// A level's entries: a wide level has millions.
using SplitEntries = std::vector<SplitEntry, LargeArrayAllocator<SplitEntry>>;

using KeepText = std::function<std::string_view(std::string)>;

class LevelSplitter {
 public:
  // `group_hint`: where the base's long groups at the level's start are, when
  // known (the SplitEntry's groupHint of the value being split).
  // `keep` must outlive the splitter.
  LevelSplitter(Level level, const KeepText* keep, size_t group_hint = static_cast<size_t>(-1))
      : level_(level), keep_(keep), groupHint_(group_hint) {}

  // The whole level's members or items.
  int splitMembers(SplitEntries& out) const;
  int splitItems(SplitEntries& out) const;

  // Where a split in batches stands: a wide level need not hold all its
  // entries at once.
  struct Cursor {
    int64_t pos = 0;  // 0: not started
    bool done = false;
  };
  // The next at most `limit` members (items: max(limit, 2)) after
  // `cursor`, replacing `out`; cursor.done once the level has no more.
  // Batches of one level join into what the whole-level split gives.
  void splitMembers(Cursor& cursor, size_t limit, SplitEntries& out) const;
  void splitItems(Cursor& cursor, size_t limit, SplitEntries& out) const;

  // The scanners, 1-based within the level; -1 = not found.
  std::string_view scanMemberName(int64_t pos, int64_t* out_pos) const;
  // The raw value (untrimmed) as a view; out_pos -1 on failure.
  std::string_view scanMemberValue(int64_t pos, int64_t* out_pos) const;
  bool isBalanced(int64_t start, int64_t end) const;
  // First at or after `from`.
  int64_t Find(char delimiter, int64_t from) const {
    if (from < 1) from = 1;
    if (from > static_cast<int64_t>(level_.length)) return -1;
    const size_t hit = level_.base->Find(delimiter, level_.offset + static_cast<size_t>(from) - 1,
                                         level_.offset + level_.length);
    return hit == std::string_view::npos ? -1 : static_cast<int64_t>(hit - level_.offset) + 1;
  }

 private:
  class BalanceCounter;

  SplitEntry MakeValue(int64_t start, int64_t end) const;  // trimmed, strictly between

  Level level_;
  const KeepText* keep_;
  // Where the last balance count found its next long group: scans of a
  // level move forward, so the next count starts looking there.
  mutable size_t groupHint_;
  // The hint as it stood when the last scan counted its first byte.
  mutable size_t scanStartHint_ = static_cast<size_t>(-1);
};

}  // namespace keelnode
