// The search bar's test of one text: plain (whole characters only),
// wildcard or regular expression, optionally ignoring ASCII letter case, and
// optionally only the whole text. Compiled once for many candidates.
#pragma once

#include <string>
#include <string_view>

#include "services/regex_service.h"

namespace keelnode {

enum class MatchMode {
  kPlain,     // the label contains the text
  kWildcard,  // the text as a wildcard matches somewhere in the label
  kPattern,   // the text as a regular expression matches somewhere in the label
};

enum class LetterCase { kExact, kIgnore };

// What a search looks for in each label.
struct LabelSearch {
  std::string_view text;
  MatchMode mode = MatchMode::kPlain;
  LetterCase letterCase = LetterCase::kExact;
  bool wholeText = false;  // the whole label, not a part of it
};

// The search bar's switches as the legacy calls pass them: the wildcard
// box counts only in pattern mode.
inline MatchMode MatchModeOf(bool patternMode, bool wildcard) {
  if (!patternMode) return MatchMode::kPlain;
  return wildcard ? MatchMode::kWildcard : MatchMode::kPattern;
}

class TextMatcher {
 public:
  explicit TextMatcher(const LabelSearch& search);
  TextMatcher(std::string_view text, bool ignore_case, bool whole_text, bool pattern_mode,
              bool wildcard);
  // Whether the candidate passes; an error when the expression ran away on it.
  Result<bool, RegexError> Test(std::string_view candidate);
  // Test, a runaway taken as no match.
  bool Matches(std::string_view candidate);

 private:
  bool ignore_case_;
  bool whole_text_;
  bool pattern_mode_;
  RegexService regex_;
  std::string needle_;
  std::string lowered_;
};

}  // namespace keelnode
