// A text prepared for splitting, with what the splitter needs to search it.
//
// `text` is the prepared text (escaped quotes protected, whitespace
// compacted); `masked` has the same length, with every byte between a pair of
// double quotes blanked and the two bytes of a multi-byte unit outside strings
// replaced by kLeadMark and kTrailMark, so that a plain byte search for a
// delimiter never lands inside a string or on the second byte of a
// character, and units can be told apart walking backwards.
//
// A nested value that is a slice of a prepared text is itself prepared
// already (preparing a slice of prepared text changes nothing unless the
// slice holds one of the `backslashHazards`), and its masked twin is the same
// slice of `masked`: quotes pair the same way inside a balanced slice. So a
// whole document is masked once, and each level is a view (PreparedText,
// offset, length).
//
// `largeGroups` are the long bracketed groups that open and close properly
// (matching kinds, balanced quotes inside): the splitter's balance counting
// steps over them whole, which keeps deep nesting linear.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

namespace detail {
// The memo slot of each delimiter the splitter searches for.
struct DelimiterSlots {
  unsigned char slot[256] = {};
  constexpr DelimiterSlots() {
    const char delimiters[] = "{}[]\":,";
    for (unsigned char i = 0; i < 7; ++i)
      slot[static_cast<unsigned char>(delimiters[i])] = i;
  }
};
inline constexpr DelimiterSlots kDelimiterSlots{};
}  // namespace detail

class PreparedText {
 public:
  struct Group {
    size_t open;   // position of "[" or "{"
    size_t close;  // position of the matching "]" or "}"
    size_t next;   // index of the first group that opens after `close`
  };

  // `text` must stay alive as long as this object (the store owns it).
  explicit PreparedText(std::string_view text);

  std::string_view text() const { return text_; }
  std::string_view masked() const { return masked_; }
  size_t size() const { return text_.size(); }

  // First position >= from (and < limit) of `delimiter` in the masked text,
  // or npos. Remembers its last answer per delimiter, so repeated searches
  // from nearby positions cost nothing; once the searches for a delimiter
  // have scanned about twice the text (deep nesting asks from every level
  // for the same far closer), a block index answers each in bounded time.
  size_t Find(char delimiter, size_t from, size_t limit) const {
    if (from >= limit) return std::string_view::npos;
    const Memo& memo = memos_[detail::kDelimiterSlots.slot[static_cast<unsigned char>(delimiter)]];
    if (memo.from <= from) {
      if (memo.answer != std::string_view::npos && from <= memo.answer)
        return memo.answer < limit ? memo.answer : std::string_view::npos;
      if (memo.answer == std::string_view::npos && limit <= memo.to) return memo.answer;
    }
    return Search(delimiter, from, limit);
  }

  // Whether preparing the slice [begin, end) again would change it.
  bool SliceNeedsPreparing(size_t begin, size_t end) const;
  // Whether the slice [begin, end) holds a line break next to a blank, so
  // trimming a value there acts inside it, not only at its ends.
  bool SliceHasBlankLineBreak(size_t begin, size_t end) const;
  // The first large group opening at or after `from`, or nullptr; `hint`
  // (an index into the groups from an earlier call with a smaller `from`)
  // makes a run of growing positions cost nothing.
  const Group* GroupFrom(size_t from, size_t* hint = nullptr) const;
  // Openers and commas outside strings: about the number of nodes a full
  // split of the text yields.
  size_t separatorCount() const { return separators_; }

  // Whether the unit that ends at `end` - 1 starts at `end` - 2.
  bool UnitBeforeIsDoubleByte(size_t end) const {
    return end >= 2 && masked_[end - 1] == kTrailMark;
  }

  static constexpr size_t kLargeGroup = 64;
  static constexpr char kLeadMark = '\x01';
  static constexpr char kTrailMark = '\x02';

 private:
  // The first occurrence in [from, to) is `answer` (npos: none).
  struct Memo {
    size_t from = 1;
    size_t to = 0;
    size_t answer = 0;
  };
  // Searches the masked text and remembers the answer.
  size_t Search(char delimiter, size_t from, size_t limit) const;
  size_t SearchIndexed(const std::vector<size_t>& next, char delimiter, size_t from,
                       size_t limit) const;
  void BuildBlockIndex(char delimiter, std::vector<size_t>& next) const;
  size_t LowerBound(size_t from) const;  // index of the first group opening at or after `from`

  std::string_view text_;
  std::string masked_;
  std::vector<size_t> backslashHazards_;  // "\" before a quote or "|"
  std::vector<size_t> blankLineBreaks_;   // CR or LF beside a blank
  std::vector<Group> largeGroups_;        // sorted by open
  size_t separators_ = 0;
  mutable Memo memos_[7];
  // Per delimiter: bytes scanned so far, and once that passes twice the
  // text, the first occurrence at or after the start of each block.
  static constexpr size_t kBlock = 1024;
  mutable size_t scanned_[7] = {};
  mutable std::vector<size_t> blockNext_[7];
};

}  // namespace keelnode
