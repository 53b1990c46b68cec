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

}  // namespace

PreparedText::PreparedText(std::string_view text) : text_(text), masked_(text) {
  // Open groups, as indices into largeGroups_: every opener gets an entry in
  // text order (so the list needs no sorting), and those that do not close
  // properly or are short are dropped at the end.
  struct Open {
    size_t group;
    char kind;
    size_t quotes;
  };
  constexpr size_t kUnclosed = static_cast<size_t>(-1);
  std::vector<Open> opens;
  size_t quotes = 0;
  size_t string_start = npos;  // position of the opening quote while inside a string
  bool prev_blank = false;
  size_t prev_break = npos;  // position of the previous unit when it was a line break
  const size_t n = text.size();
  YieldEvery yield;
  for (size_t i = 0; i < n;) {
    yield.Reached(i);
    if (kPlainBytes.plain[static_cast<unsigned char>(text[i])]) {
      do {
        ++i;
      } while (i < n && kPlainBytes.plain[static_cast<unsigned char>(text[i])]);
      prev_blank = false;
      prev_break = npos;
      continue;
    }
    const size_t len = UnitLength(text, i);
    const char c = text[i];
    const bool blank = IsBlankAt(text, i, len);
    if (prev_break != npos && blank) blankLineBreaks_.push_back(prev_break);
    const bool is_break = len == 1 && (c == '\n' || c == '\r');
    if (is_break && prev_blank) blankLineBreaks_.push_back(i);
    prev_break = is_break ? i : npos;
    prev_blank = blank;
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
        opens.push_back({largeGroups_.size(), c, quotes});
        largeGroups_.push_back({i, kUnclosed, 0});
      } else if (c == ']' || c == '}') {
        if (!opens.empty()) {
          const Open& o = opens.back();
          if ((c == ']') != (o.kind == '[')) {
            opens.clear();  // mismatched kinds: nothing open here closes properly
          } else {
            Group& g = largeGroups_[o.group];
            if (i - g.open >= kLargeGroup && (quotes - o.quotes) % 2 == 0) {
              g.close = i;
              g.next = largeGroups_.size();  // groups inside it were all entered since
            }
            opens.pop_back();
          }
        }
      }
    }
    i += len;
  }
  // Drop the groups that are short or never closed properly, renumbering the
  // `next` indices for the groups that stay.
  std::vector<size_t> kept_before(largeGroups_.size() + 1);
  size_t kept = 0;
  for (size_t k = 0; k < largeGroups_.size(); ++k) {
    kept_before[k] = kept;
    if (largeGroups_[k].close != kUnclosed) largeGroups_[kept++] = largeGroups_[k];
  }
  kept_before[largeGroups_.size()] = kept;
  largeGroups_.resize(kept);
  for (Group& g : largeGroups_)
    g.next = kept_before[g.next];
  std::sort(blankLineBreaks_.begin(), blankLineBreaks_.end());
  blankLineBreaks_.erase(std::unique(blankLineBreaks_.begin(), blankLineBreaks_.end()),
                         blankLineBreaks_.end());
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
