#include "json/level_splitter.h"

#include <algorithm>

#include "json/text_preparation.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

constexpr std::string_view kNotFound = "超出";
constexpr size_t npos = std::string_view::npos;

}  // namespace

// Counts of "[", "]", "{", "}" and quotes strictly between `start` and a
// candidate end that only ever grows, so each byte is counted once per scan.
class LevelSplitter::BalanceCounter {
 public:
  BalanceCounter(const Level& level, int64_t start, size_t* group_hint, size_t* start_hint)
      : level_(level),
        start_(start),
        cursor_(start + 1),
        groupHint_(group_hint),
        startHint_(start_hint) {}

  // Counts up to *end (exclusive). When *end lies inside a long closed group
  // that opens after the start and cannot balance before it closes, moves
  // *end to the group's close and returns true: no candidate end inside the
  // group can balance, and the scan continues from its close.
  bool ExtendTo(int64_t* end) {
    const int64_t target = *end;
    if (target < cursor_) Reset();
    const size_t level_end = level_.offset + level_.length;
    while (true) {
      const PreparedText::Group* g = level_.base->GroupFrom(Absolute(cursor_), groupHint_);
      if (cursor_ == start_ + 1 && startHint_ != nullptr) {
        *startHint_ = *groupHint_;
        startHint_ = nullptr;
      }
      if (g == nullptr || g->close >= level_end || Relative(g->open) >= target) {
        Count(cursor_, target);
        cursor_ = target;
        return false;
      }
      Count(cursor_, Relative(g->open));
      cursor_ = Relative(g->open);
      const int64_t close = Relative(g->close);
      const bool square = level_.base->masked()[g->open] == '[';
      if (close < target) {
        cursor_ = close + 1;  // the whole group adds nothing
        *groupHint_ = g->next;
        continue;
      }
      int64_t& surplus = square ? squares_ : curlies_;
      if (surplus >= 0) {
        ++surplus;  // the group's opener; its inside balances
        cursor_ = close;
        *groupHint_ = g->next;
        *end = close;
        return true;
      }
      Count(cursor_, cursor_ + 1);
      cursor_ += 1;
    }
  }

  bool Balanced() const { return squares_ == 0 && curlies_ == 0 && quotes_ % 2 == 0; }

 private:
  size_t Absolute(int64_t pos) const { return level_.offset + static_cast<size_t>(pos) - 1; }
  int64_t Relative(size_t abs) const { return static_cast<int64_t>(abs - level_.offset) + 1; }

  void Reset() {
    squares_ = curlies_ = quotes_ = 0;
    *groupHint_ = static_cast<size_t>(-1);
    cursor_ = start_ + 1;
  }

  // Counts positions [from, to) of the level (1-based, clipped to the level).
  void Count(int64_t from, int64_t to) {
    if (to > static_cast<int64_t>(level_.length) + 1) to = static_cast<int64_t>(level_.length) + 1;
    if (from < 1) from = 1;
    if (from >= to) return;
    const char* p = level_.base->masked().data() + Absolute(from);
    const char* const e = level_.base->masked().data() + Absolute(to);
    int64_t squares = 0, curlies = 0, quotes = 0;
    for (; p < e; ++p) {
      switch (*p) {
        case '[':
          ++squares;
          break;
        case ']':
          --squares;
          break;
        case '{':
          ++curlies;
          break;
        case '}':
          --curlies;
          break;
        case '"':
          ++quotes;
          break;
        default:
          break;
      }
    }
    squares_ += squares;
    curlies_ += curlies;
    quotes_ += quotes;
    yieldToUi();
  }

  const Level& level_;
  const int64_t start_;
  int64_t cursor_;
  int64_t squares_ = 0;
  int64_t curlies_ = 0;
  int64_t quotes_ = 0;
  size_t* groupHint_;
  size_t* startHint_;  // receives the hint at the first byte counted
};

bool LevelSplitter::isBalanced(int64_t start, int64_t end) const {
  if (start == -1 || end == -1) return false;
  BalanceCounter counter(level_, start, &groupHint_, nullptr);
  int64_t e = end;
  // A jump means the end lies inside a group that cannot balance there.
  return !counter.ExtendTo(&e) && counter.Balanced();
}

std::string_view LevelSplitter::scanMemberName(int64_t pos, int64_t* out_pos) const {
  const int64_t n = static_cast<int64_t>(level_.length);
  const char at = pos >= 1 && pos <= n ? level_.masked()[pos - 1] : '\0';
  if (at != '{' && at != ',') {
    int64_t brace = Find('{', pos);
    if (brace != -1) pos = brace;
  }
  const int64_t q1 = Find('"', pos);
  const int64_t q2 = q1 == -1 ? -1 : Find('"', q1 + 1);
  int64_t c = pos;
  do {
    c = Find(':', c + 1);
  } while (c != -1 && q1 != -1 && q2 != -1 && q1 <= c && c <= q2);
  if (c == -1) {
    *out_pos = -1;
    return kNotFound;
  }
  *out_pos = c;
  std::string_view raw =
      pos + 1 <= c - 1 ? level_.text().substr(pos, c - 1 - pos) : std::string_view();
  std::string_view slice;
  if (CleanNameIsSlice(raw, &slice)) return slice;
  return (*keep_)(CleanName(raw));
}

std::string_view LevelSplitter::scanMemberValue(int64_t pos, int64_t* out_pos) const {
  const int64_t n = static_cast<int64_t>(level_.length);
  BalanceCounter counter(level_, pos, &groupHint_, &scanStartHint_);
  int64_t e = pos;
  int64_t last = 0;
  while (true) {
    const int64_t a = Find('[', e + 1);
    const int64_t b = Find('{', e + 1);
    const int64_t c = Find(',', e + 1);
    const int64_t d = Find('}', e + 1);
    if (c != -1 && (c < d || d == -1)) {
      e = c;
    } else if (d != -1) {
      e = d;
    } else {
      e = n + 1;
    }
    bool closer_found = false;
    if (a != -1 && a < e) {
      e = Find(']', a + 1);
      closer_found = e != -1;
    } else if (b != -1 && b < e) {
      e = Find('}', b + 1);
      closer_found = e != -1;
    }
    if (!closer_found) {
      if (e == last || e == -1 || e < last) {
        *out_pos = -1;
        return kNotFound;
      }
      last = e;
    }
    if (!counter.ExtendTo(&e) && counter.Balanced()) {
      *out_pos = e;
      return e - pos - 1 > 0 ? level_.text().substr(pos, e - pos - 1) : std::string_view();
    }
  }
}

SplitEntry LevelSplitter::MakeValue(int64_t start, int64_t end) const {
  const PreparedText& base = *level_.base;
  size_t begin = level_.offset + static_cast<size_t>(start);   // first byte after `start`
  size_t stop = level_.offset + static_cast<size_t>(end) - 1;  // `end` itself, exclusive
  if (stop <= begin) return {{}, {}, begin};
  if (base.SliceHasBlankLineBreak(begin, stop))
    return {{}, (*keep_)(TrimValue(base.text().substr(begin, stop - begin))), npos};
  std::string_view text = base.text();
  auto blank_at = [&](size_t i, size_t len) {
    return len == 1 ? text[i] == ' ' || text[i] == '\t'
                    : static_cast<unsigned char>(text[i]) == 0xA1 &&
                          static_cast<unsigned char>(text[i + 1]) == 0xA1;
  };
  while (begin < stop) {
    size_t len = base.masked()[begin] == PreparedText::kLeadMark && begin + 1 < stop ? 2 : 1;
    if (!blank_at(begin, len)) break;
    begin += len;
  }
  while (stop > begin) {
    size_t len = base.UnitBeforeIsDoubleByte(stop) && stop - 2 >= begin ? 2 : 1;
    if (!blank_at(stop - len, len)) break;
    stop -= len;
  }
  return {{}, text.substr(begin, stop - begin), begin, scanStartHint_};
}

int LevelSplitter::splitMembers(SplitEntries& out) const {
  Cursor cursor;
  splitMembers(cursor, static_cast<size_t>(-1), out);
  return static_cast<int>(out.size());
}

int LevelSplitter::splitItems(SplitEntries& out) const {
  Cursor cursor;
  splitItems(cursor, static_cast<size_t>(-1), out);
  return static_cast<int>(out.size());
}

void LevelSplitter::splitMembers(Cursor& cursor, size_t limit, SplitEntries& out) const {
  out.clear();
  int64_t pos = cursor.pos == 0 ? Find('{', 1) : cursor.pos;
  while (pos != -1 && out.size() < limit) {
    yieldToUi();
    std::string_view name = scanMemberName(pos, &pos);
    if (pos == -1) break;
    const int64_t colon = pos;
    scanMemberValue(colon, &pos);
    if (pos == -1) break;
    SplitEntry entry = MakeValue(colon, pos);
    entry.name = name;
    out.push_back(entry);
  }
  cursor.pos = pos;
  cursor.done = pos == -1;
}

void LevelSplitter::splitItems(Cursor& cursor, size_t limit, SplitEntries& out) const {
  const bool first = cursor.pos == 0;
  // Two at least: a lone empty item means an empty array only when no
  // second item follows.
  limit = std::max<size_t>(limit, 2);
  out.clear();
  int64_t s = first ? Find('[', 1) : cursor.pos;
  while (s != -1 && out.size() < limit) {
    yieldToUi();
    BalanceCounter counter(level_, s, &groupHint_, &scanStartHint_);
    int64_t e = s;
    while (true) {
      int64_t next = Find(',', e + 1);
      if (next == -1) next = Find(']', e + 1);
      e = next;
      if (e == -1) break;
      if (!counter.ExtendTo(&e) && counter.Balanced()) break;
    }
    if (e == -1) {
      s = -1;
      break;
    }
    out.push_back(MakeValue(s, e));
    s = e;
  }
  cursor.pos = s;
  cursor.done = s == -1;
  // "[]" and "[ ]" have no items, not one empty item.
  if (first && cursor.done && out.size() == 1 && out[0].value.empty()) out.clear();
}

}  // namespace keelnode
