#include "json/prepared_text.h"

#include <algorithm>
#include <cstring>

#include "services/mbcs.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;

bool IsBlankAt(std::string_view text, size_t i, size_t len) {
  if (len == 1) return text[i] == ' ' || text[i] == '\t';
  return static_cast<unsigned char>(text[i]) == 0xA1 &&
         static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

// ASCII bytes that mean nothing to the preparation scan: no delimiter,
// quote, backslash, blank or line break.
struct PlainBytes {
  bool plain[256] = {};
  constexpr PlainBytes() {
    for (int b = 0; b < 0x80; ++b)
      plain[b] = true;
    for (unsigned char c : std::string_view("\"[]{},\\\n\r \t"))
      plain[c] = false;
  }
};
constexpr PlainBytes kPlainBytes;

bool AnyIn(const std::vector<size_t>& sorted, size_t begin, size_t end) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), begin);
  return it != sorted.end() && *it < end;
}

// Brackets outside strings, matched as the scan meets them: every opener
// gets a group in text order (so the list needs no sorting); a group that
// does not close properly, or is short, keeps an unset close and is dropped
// at the end.
class GroupTracker {
 public:
  static constexpr size_t kUnclosed = static_cast<size_t>(-1);

  explicit GroupTracker(std::vector<PreparedText::Group>& groups) : groups_(groups) {}

  void Open(size_t at, char kind, size_t quotes) {
    opens_.push_back({groups_.size(), kind, quotes});
    groups_.push_back({at, kUnclosed, 0});
  }

  void Close(size_t at, char kind, size_t quotes, size_t largeGroup) {
    if (opens_.empty()) return;
    const Opener& o = opens_.back();
    if ((kind == ']') != (o.kind == '[')) {
      opens_.clear();  // mismatched kinds: nothing open here closes properly
      return;
    }
    PreparedText::Group& g = groups_[o.group];
    if (at - g.open >= largeGroup && (quotes - o.quotes) % 2 == 0) {
      g.close = at;
      g.next = groups_.size();  // groups inside it were all entered since
    }
    opens_.pop_back();
  }

  // Drops the groups that never closed properly, renumbering the `next`
  // indices of those that stay.
  void KeepClosedGroups() {
    std::vector<size_t> kept_before(groups_.size() + 1);
    size_t kept = 0;
    for (size_t k = 0; k < groups_.size(); ++k) {
      kept_before[k] = kept;
      if (groups_[k].close != kUnclosed) groups_[kept++] = groups_[k];
    }
    kept_before[groups_.size()] = kept;
    groups_.resize(kept);
    for (PreparedText::Group& g : groups_)
      g.next = kept_before[g.next];
  }

 private:
  struct Opener {
    size_t group;  // index into the groups
    char kind;
    size_t quotes;  // quotes seen before it
  };
  std::vector<PreparedText::Group>& groups_;
  std::vector<Opener> opens_;
};

// Line breaks with a blank right before or after them, as the scan meets
// each unit.
class BlankBreakTracker {
 public:
  explicit BlankBreakTracker(std::vector<size_t>& breaks) : breaks_(breaks) {}

  void Plain() {
    prevBlank_ = false;
    prevBreak_ = npos;
  }

  void Unit(std::string_view text, size_t i, size_t len) {
    const char c = text[i];
    const bool blank = IsBlankAt(text, i, len);
    if (prevBreak_ != npos && blank) breaks_.push_back(prevBreak_);
    const bool is_break = len == 1 && (c == '\n' || c == '\r');
    if (is_break && prevBlank_) breaks_.push_back(i);
    prevBreak_ = is_break ? i : npos;
    prevBlank_ = blank;
  }

  void SortAndDeduplicate() {
    std::sort(breaks_.begin(), breaks_.end());
    breaks_.erase(std::unique(breaks_.begin(), breaks_.end()), breaks_.end());
  }

 private:
  std::vector<size_t>& breaks_;
  bool prevBlank_ = false;
  size_t prevBreak_ = npos;  // position of the previous unit when it was a line break
};

}  // namespace

PreparedText::PreparedText(std::string_view text) : text_(text), masked_(text) {
  GroupTracker groups(largeGroups_);
  BlankBreakTracker breaks(blankLineBreaks_);
  size_t quotes = 0;
  size_t string_start = npos;  // position of the opening quote while inside a string
  const size_t n = text.size();
  YieldEvery yield;
  for (size_t i = 0; i < n;) {
    yield.Reached(i);
    if (kPlainBytes.plain[static_cast<unsigned char>(text[i])]) {
      do {
        ++i;
      } while (i < n && kPlainBytes.plain[static_cast<unsigned char>(text[i])]);
      breaks.Plain();
      continue;
    }
    const size_t len = UnitLength(text, i);
    const char c = text[i];
    breaks.Unit(text, i, len);
    if (len == 1 && c == '\\' && i + 1 < n && (text[i + 1] == '"' || text[i + 1] == '|'))
      backslashHazards_.push_back(i);

    if (len == 2) {
      masked_[i] = kLeadMark;
      masked_[i + 1] = kTrailMark;
    } else if (c == '"') {
      ++quotes;
      if (string_start == npos) {
        string_start = i;
      } else {
        std::memset(masked_.data() + string_start + 1, ' ', i - string_start - 1);
        string_start = npos;
      }
    } else if (string_start == npos) {
      if (c == ',') {
        ++separators_;
      } else if (c == '[' || c == '{') {
        ++separators_;
        groups.Open(i, c, quotes);
      } else if (c == ']' || c == '}') {
        groups.Close(i, c, quotes, kLargeGroup);
      }
    }
    i += len;
  }
  groups.KeepClosedGroups();
  breaks.SortAndDeduplicate();
}

size_t PreparedText::Search(char delimiter, size_t from, size_t limit) const {
  const unsigned char slot = detail::kDelimiterSlots.slot[static_cast<unsigned char>(delimiter)];
  std::vector<size_t>& next = blockNext_[slot];
  size_t answer;
  if (!next.empty()) {
    answer = SearchIndexed(next, delimiter, from, limit);
  } else {
    const void* hit = std::memchr(masked_.data() + from, delimiter, limit - from);
    answer = hit ? static_cast<const char*>(hit) - masked_.data() : npos;
    scanned_[slot] += (answer == npos ? limit : answer) - from;
    if (scanned_[slot] > 2 * masked_.size() + kBlock) BuildBlockIndex(delimiter, next);
  }
  memos_[slot] = {from, limit, answer};
  return answer;
}

size_t PreparedText::SearchIndexed(const std::vector<size_t>& next, char delimiter, size_t from,
                                   size_t limit) const {
  const size_t block_end = std::min(limit, (from / kBlock + 1) * kBlock);
  const void* hit = std::memchr(masked_.data() + from, delimiter, block_end - from);
  if (hit) return static_cast<const char*>(hit) - masked_.data();
  if (block_end == limit) return npos;
  const size_t answer = next[from / kBlock + 1];
  return answer < limit ? answer : npos;
}

void PreparedText::BuildBlockIndex(char delimiter, std::vector<size_t>& next) const {
  const size_t blocks = (masked_.size() + kBlock - 1) / kBlock;
  next.assign(blocks + 1, npos);
  for (size_t k = blocks; k-- > 0;) {
    const size_t begin = k * kBlock;
    const size_t length = std::min(kBlock, masked_.size() - begin);
    const void* hit = std::memchr(masked_.data() + begin, delimiter, length);
    next[k] = hit ? static_cast<const char*>(hit) - masked_.data() : next[k + 1];
  }
}

bool PreparedText::SliceNeedsPreparing(size_t begin, size_t end) const {
  return AnyIn(backslashHazards_, begin, end);
}

bool PreparedText::SliceHasBlankLineBreak(size_t begin, size_t end) const {
  return AnyIn(blankLineBreaks_, begin, end);
}

const PreparedText::Group* PreparedText::GroupFrom(size_t from, size_t* hint) const {
  size_t index;
  // A hint past the end (or none) means: search.
  if (hint != nullptr && *hint <= largeGroups_.size() &&
      (*hint == 0 || largeGroups_[*hint - 1].open < from)) {
    index = *hint;
    // A few steps forward; far jumps fall back to a binary search.
    for (int steps = 0; index < largeGroups_.size() && largeGroups_[index].open < from; ++steps) {
      if (steps == 8) {
        index = LowerBound(from);
        break;
      }
      ++index;
    }
  } else {
    index = LowerBound(from);
  }
  if (hint != nullptr) *hint = index;
  return index == largeGroups_.size() ? nullptr : &largeGroups_[index];
}

size_t PreparedText::LowerBound(size_t from) const {
  auto it = std::lower_bound(largeGroups_.begin(), largeGroups_.end(), from,
                             [](const Group& g, size_t pos) { return g.open < pos; });
  return static_cast<size_t>(it - largeGroups_.begin());
}

}  // namespace keelnode
