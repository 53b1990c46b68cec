// The tolerant, level-by-level JSON splitter.
//
// Given the text of an object it yields the members (name, raw value text);
// given the text of an array, the raw item texts. It never builds a tree and
// never checks a scalar. Structure is found by searching a masked copy of
// the prepared text in which the contents of double-quoted strings are
// blanked out, and a candidate end is accepted only where braces, brackets
// and quotes balance. Positions in this interface are 1-based, -1 = none.
//
// Preparing a text: escaped quotes become the placeholder "#SYH#", and
// whitespace directly before "[", "{" or a double quote and directly after
// "]", "}" or a double quote is removed (string contents included).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/level_splitter.h"
#include "json/prepared_text.h"

namespace keelnode {

struct Member {
  std::string name;
  std::string value;
  friend bool operator==(const Member&, const Member&) = default;
};

class JsonParser {
 public:
  JsonParser();
  // A copy holds the same loaded text and path segments.
  JsonParser(const JsonParser& other);
  JsonParser& operator=(const JsonParser& other);

  void reset();
  std::string convertSingleQuotes(std::string_view text) const;
  std::string cleanName(std::string_view text) const;
  std::string trimValue(std::string_view text) const;

  // kind receives 1 (members) or 2 (items); it is left alone when nothing
  // is found. Returns the count of the list filled.
  int parseLevel(std::string_view text, std::vector<Member>* members,
                 std::vector<std::string>* items, int* kind);
  int splitMembers(std::string_view text, bool reload, std::vector<Member>* members);
  int splitItems(std::string_view text, bool reload, std::vector<std::string>* items);
  static int valueKind(std::string_view text);

  // Paths (internal form "a.[0].b", compact form "a[0].b").
  int splitPath(std::string_view path);
  const std::vector<std::string>& pathSegments() const { return pathSegments_; }
  // mode 0: internal to compact; mode 1: compact to internal; else empty.
  std::string normalisePath(std::string_view path, int mode) const;

  std::string compactWhitespace(std::string_view text) const;
  void protectEscapedQuotes(std::string& text) const;
  static std::string restoreEscapedQuotes(std::string_view text);

  void load(std::string_view text);
  bool isBalanced(int start, int end) const;
  std::string scanMemberName(int pos, int* outPos) const;
  std::string scanMemberValue(int pos, int* outPos) const;
  std::string extract(int start, int end, bool inclusive) const;

  // The masked twin marks the two bytes of a multi-byte unit outside strings
  // with PreparedText::kLeadMark and kTrailMark.
  std::string_view maskedBuffer() const { return base_ ? base_->masked() : std::string_view(); }
  std::string_view textBuffer() const { return text_; }

  // Escaped quotes protected, then whitespace compacted.
  static std::string Prepare(std::string_view text);
  // The segments of an internal-form path, as splitPath makes them.
  static std::vector<std::string> PathSegments(std::string_view path);

 private:
  LevelSplitter Splitter();

  std::string text_;  // the prepared text of the last load
  std::unique_ptr<PreparedText> base_;
  std::deque<std::string> kept_;  // texts rebuilt by cleaning, for the current split
  KeepText keep_;                 // keeps them in kept_
  std::vector<std::string> pathSegments_;
};

}  // namespace keelnode
