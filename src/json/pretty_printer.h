// Reformatting a value's text for reading: indented (pretty) or with the
// layout removed (minified). Tolerant like the parser: it never fails and
// never loops; what it cannot read (bare names, single quotes, trailing
// commas, comments, garbage) is kept as it is. Strings are copied byte for
// byte, escapes untouched. One pass, no recursion, output linear in input.
// Text is in the program's code page: a byte >= 0x80 and the byte after it
// are always one character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

struct PrettyOptions {
  int indentWidth = 2;
  // Levels deeper than this are indented like this level, so the output of a
  // deeply nested text stays linear in its size.
  int deepestIndentedLevel = 64;
};

struct PrettyText {
  std::string text;
  // Offset of the first byte of each line in text; never empty.
  std::vector<size_t> lineStarts;
};

PrettyText prettyPrint(std::string_view text, const PrettyOptions& options = {});
// Layout removed; two words keep one space between them and a "//" comment
// keeps the line break that ends it. minify(prettyPrint(x)) == minify(x).
std::string minify(std::string_view text);

enum class TokenKind { Plain, Name, String, Number, Literal, Bracket };

struct Token {
  size_t begin = 0;
  size_t length = 0;
  TokenKind kind = TokenKind::Plain;
};

// The coloured pieces of one line of pretty text; bytes not covered are
// plain. A string left open runs to the end of the line.
std::vector<Token> classifyLine(std::string_view line);

}  // namespace keelnode
