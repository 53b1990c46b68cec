// The search bar's test of one text: plain (whole characters only),
// wildcard or regular expression, optionally ignoring ASCII letter case, and
// optionally only the whole text. Compiled once for many candidates.
#pragma once

#include <string>
#include <string_view>

#include "services/regex_service.h"

namespace keelnode {

class TextMatcher {
 public:
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
