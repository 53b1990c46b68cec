#include "json/text_matcher.h"

#include <cstring>
#include <vector>

#include "services/ascii_case.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

// ASCII letters that stand alone lowered; multi-byte characters untouched.
std::string LowerAsciiCharacters(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    size_t len = CharacterLength(out, i);
    if (len == 1) out[i] = AsciiLower(out[i]);
    i += len;
  }
  return out;
}

// Whether `needle` occurs in `hay` as whole characters (starting and ending
// at character boundaries), from `from` (a character start) on, by a failure
// table: each byte of `hay` is looked at a bounded number of times however
// the hits fall.
bool ContainsWholeCharactersSlow(std::string_view hay, std::string_view needle, size_t from) {
  const size_t m = needle.size();
  std::vector<size_t> fail(m + 1, 0);  // longest proper border of needle[0, k)
  for (size_t k = 1, b = 0; k < m; ++k) {
    while (b > 0 && needle[k] != needle[b])
      b = fail[b];
    if (needle[k] == needle[b]) ++b;
    fail[k + 1] = b;
  }
  // Character starts of the last m positions, as a ring.
  std::vector<char> starts(m, 0);
  size_t next_start = from;  // after position i: the first character start past i
  size_t matched = 0;
  for (size_t i = from; i < hay.size(); ++i) {
    starts[i % m] = i == next_start;
    if (i == next_start) next_start += CharacterLength(hay, i);
    while (matched > 0 && hay[i] != needle[matched])
      matched = fail[matched];
    if (hay[i] == needle[matched]) ++matched;
    if (matched == m) {
      if (starts[(i + 1 - m) % m] && next_start == i + 1) return true;
      matched = fail[m];
    }
  }
  return false;
}

// Whether `needle` occurs in `hay` as whole characters: a four-byte
// character is never matched by its second half and the first half of the
// next one.
bool ContainsWholeCharacters(std::string_view hay, std::string_view needle) {
  if (needle.empty() || needle.size() > hay.size()) return false;
  const void* hit = memmem(hay.data(), hay.size(), needle.data(), needle.size());
  if (hit == nullptr) return false;
  const size_t at = static_cast<const char*>(hit) - hay.data();
  // Confirm the hit starts and ends at character boundaries by walking
  // characters from the start.
  size_t i = 0;
  while (i < at)
    i += CharacterLength(hay, i);
  if (i == at) {
    size_t end = at;
    while (end < at + needle.size())
      end += CharacterLength(hay, end);
    if (end == at + needle.size()) return true;
    i = at + CharacterLength(hay, at);
  }
  // A hit inside a character: such hits may come one after another, so
  // the rest is matched in one linear pass instead of search after search.
  return ContainsWholeCharactersSlow(hay, needle, i);
}

}  // namespace

TextMatcher::TextMatcher(const LabelSearch& search)
    : ignore_case_(search.letterCase == LetterCase::kIgnore),
      whole_text_(search.wholeText),
      pattern_mode_(search.mode != MatchMode::kPlain) {
  if (pattern_mode_) {
    regex_.Compile(search.mode == MatchMode::kWildcard
                       ? RegexService::WildcardToPattern(search.text)
                       : std::string(search.text),
                   ignore_case_, true, false);
  } else {
    needle_ = ignore_case_ ? LowerAsciiCharacters(search.text) : std::string(search.text);
  }
}

TextMatcher::TextMatcher(std::string_view text, bool ignore_case, bool whole_text,
                         bool pattern_mode, bool wildcard)
    : TextMatcher(LabelSearch{.text = text,
                              .mode = MatchModeOf(pattern_mode, wildcard),
                              .letterCase = ignore_case ? LetterCase::kIgnore : LetterCase::kExact,
                              .wholeText = whole_text}) {}

bool TextMatcher::Matches(std::string_view label) {
  return Test(label).value_or(false);
}

Result<bool, RegexError> TextMatcher::Test(std::string_view label) {
  if (pattern_mode_) {
    if (!whole_text_) return regex_.Test(label);
    const Result<int, RegexError> count = regex_.TryExecute(label);
    if (!count) return Fail(count.error());
    return *count == 1 && regex_.MatchValue(1) == label;
  }
  std::string_view hay = label;
  if (ignore_case_) {
    lowered_ = LowerAsciiCharacters(label);
    hay = lowered_;
  }
  return whole_text_ ? hay == needle_ : ContainsWholeCharacters(hay, needle_);
}

}  // namespace keelnode
