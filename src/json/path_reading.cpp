#include "json/path_reading.h"

#include "json/member_name.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

// A cursor over the typed text; every reader fails by returning false.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }

  // A bare name: ASCII letters, digits, "_" and "$", and any non-ASCII.
  bool Name(std::string& out) {
    const size_t start = pos_;
    while (!AtEnd()) {
      const size_t len = UnitLength(text_, pos_);
      const char c = text_[pos_];
      if (len == 1 && !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '$'))
        break;
      pos_ += len;
    }
    out.assign(text_.substr(start, pos_ - start));
    return pos_ > start;
  }

  bool Index(int64_t& out) {
    const size_t start = pos_;
    out = 0;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9' && pos_ - start < 15)
      out = out * 10 + (text_[pos_++] - '0');
    return pos_ > start && !(Peek() >= '0' && Peek() <= '9');
  }

  // A quoted string in either quote, with the escapes of JSON, JavaScript
  // and Python strings.
  bool Quoted(std::string& out) {
    const char quote = Peek();
    if (quote != '"' && quote != '\'') return false;
    ++pos_;
    out.clear();
    while (!AtEnd()) {
      const size_t len = UnitLength(text_, pos_);
      const char c = text_[pos_];
      if (len > 1 || (c != '\\' && c != quote)) {
        out.append(text_.substr(pos_, len));
        pos_ += len;
        continue;
      }
      ++pos_;
      if (c == quote) return true;
      if (AtEnd() || !Escape(out)) return false;
    }
    return false;
  }

  // A bracketed index or quoted name.
  bool Bracket(PathStep& step) {
    if (!Take('[')) return false;
    step.name.clear();
    step.index = 0;
    if (Peek() == '"' || Peek() == '\'') {
      step.kind = PathStep::Kind::kMember;
      if (!Quoted(step.name)) return false;
    } else {
      step.kind = PathStep::Kind::kIndex;
      if (!Index(step.index)) return false;
    }
    return Take(']');
  }

 private:
  bool Hex(size_t digits, char32_t& out) {
    if (pos_ + digits > text_.size()) return false;
    out = 0;
    for (size_t i = 0; i < digits; ++i) {
      const char c = text_[pos_ + i];
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) return false;
      out = out * 16 + static_cast<char32_t>(d);
    }
    pos_ += digits;
    return true;
  }

  bool Escape(std::string& out) {
    const char e = text_[pos_++];
    char32_t cp = 0;
    switch (e) {
      case 'b':
        out.push_back('\b');
        return true;
      case 'f':
        out.push_back('\f');
        return true;
      case 'n':
        out.push_back('\n');
        return true;
      case 'r':
        out.push_back('\r');
        return true;
      case 't':
        out.push_back('\t');
        return true;
      case 'v':
        out.push_back('\v');
        return true;
      case 'a':
        out.push_back('\a');
        return true;
      case '0':
        out.push_back('\0');
        return true;
      case 'x':
        if (!Hex(2, cp)) return false;
        break;
      case 'U':
        if (!Hex(8, cp)) return false;
        break;
      case 'u':
        if (!Hex(4, cp)) return false;
        if (cp >= 0xD800 && cp <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
          pos_ += 2;
          char32_t low = 0;
          if (Hex(4, low) && low >= 0xDC00 && low <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else {
            return false;
          }
        }
        break;
      default:
        if (static_cast<unsigned char>(e) >= 0x80) return false;
        out.push_back(e);  // \" \' \\ \/ and, as JavaScript reads them, the rest
        return true;
    }
    AppendCodePoint(cp, out);
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

Steps ReadJavaScriptPath(std::string_view text) {
  Cursor in(text);
  std::vector<PathStep> steps;
  PathStep step;
  if (!in.AtEnd() && in.Peek() != '[') {
    if (!in.Name(step.name)) return std::nullopt;
    steps.push_back(MemberStep(step.name));
  }
  while (!in.AtEnd()) {
    if (in.Take('.')) {
      if (!in.Name(step.name)) return std::nullopt;
      steps.push_back(MemberStep(step.name));
    } else if (in.Bracket(step)) {
      steps.push_back(step);
    } else {
      return std::nullopt;
    }
  }
  return steps;
}

Steps ReadJqPath(std::string_view text) {
  Cursor in(text);
  std::vector<PathStep> steps;
  PathStep step;
  if (!in.Take('.')) return std::nullopt;
  if (in.AtEnd()) return steps;
  bool afterDot = true;
  while (!in.AtEnd()) {
    if (!afterDot && in.Take('.')) {
      afterDot = true;
      continue;
    }
    if (in.Peek() == '[') {
      if (!in.Bracket(step)) return std::nullopt;
      steps.push_back(step);
    } else if (!afterDot) {
      return std::nullopt;
    } else if (in.Peek() == '"') {
      if (!in.Quoted(step.name)) return std::nullopt;
      steps.push_back(MemberStep(step.name));
    } else {
      if (!in.Name(step.name)) return std::nullopt;
      steps.push_back(MemberStep(step.name));
    }
    afterDot = false;
  }
  if (afterDot) return std::nullopt;
  return steps;
}

Steps ReadJsonPath(std::string_view text) {
  Cursor in(text);
  std::vector<PathStep> steps;
  PathStep step;
  if (!in.Take('$')) return std::nullopt;
  while (!in.AtEnd()) {
    if (in.Take('.')) {
      if (!in.Name(step.name)) return std::nullopt;
      steps.push_back(MemberStep(step.name));
    } else if (in.Bracket(step)) {
      steps.push_back(step);
    } else {
      return std::nullopt;
    }
  }
  return steps;
}

Steps ReadJsonPointer(std::string_view text) {
  std::vector<PathStep> steps;
  if (text.empty()) return steps;
  if (text[0] != '/') return std::nullopt;
  PathStep token{.kind = PathStep::Kind::kToken, .name = {}, .index = 0};
  size_t i = 1;
  while (true) {
    if (i >= text.size() || text[i] == '/') {
      steps.push_back(token);
      token.name.clear();
      if (i >= text.size()) return steps;
      ++i;
      continue;
    }
    const size_t len = UnitLength(text, i);
    if (len == 1 && text[i] == '~') {
      const char next = i + 1 < text.size() ? text[i + 1] : '\0';
      if (next != '0' && next != '1') return std::nullopt;
      token.name.push_back(next == '0' ? '~' : '/');
      i += 2;
      continue;
    }
    token.name.append(text.substr(i, len));
    i += len;
  }
}

Steps ReadPythonPath(std::string_view text) {
  Cursor in(text);
  std::vector<PathStep> steps;
  PathStep step;
  while (!in.AtEnd()) {
    if (!in.Bracket(step)) return std::nullopt;
    steps.push_back(step);
  }
  return steps;
}

}  // namespace keelnode
