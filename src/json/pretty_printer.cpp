#include "json/pretty_printer.h"

#include <algorithm>
#include <cstring>

namespace keelnode {
namespace {

enum class Unit { Space, Open, Close, Comma, Colon, String, LineComment, BlockComment, Word };

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsStructural(char c) {
  return c == '{' || c == '}' || c == '[' || c == ']' || c == ',' || c == ':';
}

bool IsLead(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

bool StartsComment(std::string_view t, size_t i) {
  return t[i] == '/' && i + 1 < t.size() && (t[i + 1] == '/' || t[i + 1] == '*');
}

// End of the quoted text starting at i; an open string runs to the end.
size_t StringEnd(std::string_view t, size_t i, size_t end) {
  const char quote = t[i++];
  while (i < end) {
    const char c = t[i];
    if (c == quote) return i + 1;
    i += (c == '\\' || IsLead(c)) ? 2 : 1;
  }
  return end;
}

// End of the word starting at i: anything up to layout, a structural
// character, a quote or a comment.
size_t WordEnd(std::string_view t, size_t i, size_t end) {
  while (i < end) {
    const char c = t[i];
    if (IsSpace(c) || IsStructural(c) || c == '"' || c == '\'' || StartsComment(t, i)) break;
    i += IsLead(c) ? 2 : 1;
  }
  return std::min(i, end);
}

// Reads the unit starting at i and returns where it ends.
size_t NextUnit(std::string_view t, size_t i, Unit& unit) {
  const size_t end = t.size();
  const char c = t[i];
  if (IsSpace(c)) {
    unit = Unit::Space;
    while (i < end && IsSpace(t[i]))
      ++i;
    return i;
  }
  switch (c) {
    case '{':
    case '[':
      unit = Unit::Open;
      return i + 1;
    case '}':
    case ']':
      unit = Unit::Close;
      return i + 1;
    case ',':
      unit = Unit::Comma;
      return i + 1;
    case ':':
      unit = Unit::Colon;
      return i + 1;
    case '"':
    case '\'':
      unit = Unit::String;
      return StringEnd(t, i, end);
    default:
      break;
  }
  if (StartsComment(t, i)) {
    if (t[i + 1] == '/') {
      unit = Unit::LineComment;
      while (i < end && t[i] != '\n' && t[i] != '\r')
        ++i;
      return i;
    }
    unit = Unit::BlockComment;
    const size_t close = t.find("*/", i + 2);
    return close == std::string_view::npos ? end : close + 2;
  }
  unit = Unit::Word;
  return WordEnd(t, i, end);
}

bool IsAtom(Unit unit) {
  return unit == Unit::String || unit == Unit::Word || unit == Unit::BlockComment ||
         unit == Unit::LineComment;
}

}  // namespace

PrettyText prettyPrint(std::string_view text, const PrettyOptions& options) {
  PrettyText result;
  std::string& out = result.text;
  out.reserve(text.size() + text.size() / 2);
  const int width = std::max(0, options.indentWidth);
  const int deepest = std::max(0, options.deepestIndentedLevel);
  int depth = 0;
  bool pendingBreak = false;  // a line break is due before the next unit
  bool afterOpen = false;     // the last unit opened a container
  bool afterAtom = false;     // the last unit was a word, string or comment
  bool spaceSeen = false;
  auto breakLine = [&] {
    out += '\n';
    out.append(static_cast<size_t>(std::min(depth, deepest) * width), ' ');
  };
  auto flushBreak = [&] {
    if (!pendingBreak) return false;
    breakLine();
    pendingBreak = false;
    return true;
  };

  size_t i = 0;
  while (i < text.size()) {
    Unit unit;
    const size_t end = NextUnit(text, i, unit);
    const std::string_view piece = text.substr(i, end - i);
    i = end;
    if (unit == Unit::Space) {
      spaceSeen = true;
      continue;
    }
    if (unit == Unit::Close) {
      if (depth > 0) --depth;
      if (!afterOpen && !out.empty()) breakLine();
      pendingBreak = false;
    } else if (!flushBreak() && spaceSeen && afterAtom && IsAtom(unit)) {
      out += ' ';
    }
    out += piece;
    switch (unit) {
      case Unit::Open:
        ++depth;
        pendingBreak = true;
        break;
      case Unit::Comma:
      case Unit::LineComment:
        pendingBreak = true;
        break;
      case Unit::Colon:
        out += ' ';
        break;
      default:
        break;
    }
    afterOpen = unit == Unit::Open;
    afterAtom = IsAtom(unit) && unit != Unit::LineComment;
    spaceSeen = false;
  }

  // '\n' is never the second byte of a character, so a plain byte scan is safe.
  result.lineStarts.push_back(0);
  for (const char* p = out.data();
       const void* hit = std::memchr(p, '\n', out.data() + out.size() - p);) {
    p = static_cast<const char*>(hit) + 1;
    result.lineStarts.push_back(static_cast<size_t>(p - out.data()));
  }
  return result;
}

std::string minify(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingBreak = false;  // a "//" comment waits for its line break
  bool afterAtom = false;
  bool spaceSeen = false;
  size_t i = 0;
  while (i < text.size()) {
    Unit unit;
    const size_t end = NextUnit(text, i, unit);
    const std::string_view piece = text.substr(i, end - i);
    i = end;
    if (unit == Unit::Space) {
      spaceSeen = true;
      continue;
    }
    if (pendingBreak) {
      out += '\n';
      pendingBreak = false;
    } else if (spaceSeen && afterAtom && IsAtom(unit)) {
      out += ' ';
    }
    out += piece;
    pendingBreak = unit == Unit::LineComment;
    afterAtom = IsAtom(unit) && unit != Unit::LineComment;
    spaceSeen = false;
  }
  return out;
}

namespace {

bool IsLiteral(std::string_view word) {
  return word == "true" || word == "false" || word == "null";
}

bool IsNumber(std::string_view word) {
  size_t i = 0;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) ++i;
  if (i < word.size() && word[i] == '.') ++i;
  if (i >= word.size() || word[i] < '0' || word[i] > '9') return false;
  return word.find_first_not_of("0123456789+-.eE", i) == std::string_view::npos;
}

// Whether the next thing after i, past blanks, is a ':'.
bool NameFollows(std::string_view line, size_t i) {
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
    ++i;
  return i < line.size() && line[i] == ':';
}

}  // namespace

std::vector<Token> classifyLine(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    Unit unit;
    const size_t end = NextUnit(line, i, unit);
    TokenKind kind = TokenKind::Plain;
    switch (unit) {
      case Unit::Open:
      case Unit::Close:
        kind = TokenKind::Bracket;
        break;
      case Unit::String:
        kind = NameFollows(line, end) ? TokenKind::Name : TokenKind::String;
        break;
      case Unit::Word: {
        const std::string_view word = line.substr(i, end - i);
        if (NameFollows(line, end))
          kind = TokenKind::Name;
        else if (IsLiteral(word))
          kind = TokenKind::Literal;
        else if (IsNumber(word))
          kind = TokenKind::Number;
        break;
      }
      default:
        break;
    }
    if (kind != TokenKind::Plain) tokens.push_back({.begin = i, .length = end - i, .kind = kind});
    i = end;
  }
  return tokens;
}

}  // namespace keelnode
