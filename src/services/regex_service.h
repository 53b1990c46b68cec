// Regular expressions with the semantics the program's patterns were written
// for (VBScript-like), on PCRE2.
//
// Texts are in the program's code page; they reach the engine as UTF-8.
// "\s" is exactly space, TAB, LF, VT, FF and CR; "\d" is 0-9; with multi-line
// on, "^" and "$" match at every CR and LF; replacements understand "$1".
// Match positions are zero-based character positions in the subject.
// Matches and sub-matches are numbered from 1.
// A pattern the engine rejects compiles to nothing: Execute gives 0 matches
// and Replace returns the subject unchanged.
//
// A match has whatever room the subject needs (the engine's stack grows with
// it), but an expression that runs away, backtracking without end, is
// stopped after a bounded amount of work; Test and TryExecute then say so.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "services/result.h"

namespace keelnode {

// Why a match attempt gave no answer.
struct RegexError {
  enum class Reason {
    kRunaway,  // the expression backtracked past the work or memory it may use
  };
  Reason reason = Reason::kRunaway;
  std::string message;
};

class RegexService {
 public:
  RegexService();
  ~RegexService();
  // Copies share the compiled expression and the kept matches.
  RegexService(const RegexService&);
  RegexService& operator=(const RegexService&);
  RegexService(RegexService&&) noexcept;
  RegexService& operator=(RegexService&&) noexcept;

  static std::string WildcardToPattern(std::string_view text);
  static std::string EscapeAll(std::string_view text);
  static std::string EscapeKeepBar(std::string_view text);
  static std::string EscapeKeepGroups(std::string_view text);

  // False when the engine rejects the pattern (the expression is then empty).
  bool Compile(std::string_view pattern, bool ignore_case = true, bool multiline = true,
               bool global = true);
  // Number of matches (at most 1 with global off); keeps them for the accessors.
  int Execute(std::string_view subject);
  // Execute, with a runaway told apart from "no match" (the matches found
  // before it are kept).
  Result<int, RegexError> TryExecute(std::string_view subject);
  // Whether the expression matches somewhere in the subject.
  Result<bool, RegexError> Test(std::string_view subject) const;
  // Test, a runaway taken as no match.
  bool Matches(std::string_view subject) const;
  std::string Pattern() const;
  std::string Replace(std::string_view subject, std::string_view replacement) const;

  int MatchCount() const;
  std::string MatchValue(int n) const;
  std::string SubMatch(int n, int k) const;
  int SubMatchCount() const;
  std::string MatchValueAt(int n, int* position) const;
  std::string SubMatchAt(int n, int k, int* position) const;

 private:
  struct Expression;
  struct MatchSet;
  // Group k of match n (k = 0: the whole match); empty when out of range.
  std::string Piece(int n, int k, int* position) const;
  std::shared_ptr<const Expression> expression_;
  std::shared_ptr<const MatchSet> matches_;
  std::string subject_;
};

}  // namespace keelnode
