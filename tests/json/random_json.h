// Random JSON-like texts for differential tests: mostly well-formed nesting,
// with noise that exercises the tolerant splitter (stray and mismatched
// brackets, unquoted names, trailing commas, escapes, all kinds of
// whitespace, multi-byte characters whose second byte is a delimiter).
#pragma once

#include <cstdint>
#include <string>

namespace keelnode::testing {

class RandomJson {
 public:
  explicit RandomJson(uint64_t seed) : state_(seed * 2654435761u + 1) {}

  std::string Document(int max_depth = 6) {
    std::string out;
    if (Chance(10)) out += Pick({"callback(", "x = ", "  ", "\xD6\xD0"});
    Value(out, max_depth);
    if (Chance(10)) out += Pick({");", " trailing", "\n", "]"});
    return out;
  }

  // Short texts made of the characters the cleaning patterns care about.
  std::string Fragment(int length) {
    std::string out;
    for (int i = 0; i < length; ++i)
      out += Pick({" ",  "\t", "\n", "\r",   "\r\n",     "\v",       "\f", "\xA1\xA1",
                   "\"", "'",  "a",  "b",    "[",        "]",        "{",  "}",
                   ":",  ",",  "\\", "\\\"", "\xD6\xD0", "\x81\x5C", "#"});
    return out;
  }

 private:
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  bool Chance(int percent) { return static_cast<int>(Next() % 100) < percent; }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  const char* Pick(std::initializer_list<const char*> options) {
    return options.begin()[Below(static_cast<int>(options.size()))];
  }

  void Space(std::string& out) {
    if (!Chance(30)) return;
    out += Pick({" ", "  ", "\t", "\n", "\r\n", "\n    ", "\xA1\xA1", "\v", " \n "});
  }

  void String(std::string& out) {
    out += Chance(5) ? "'" : "\"";
    const int n = Below(8);
    for (int i = 0; i < n; ++i)
      out +=
          Pick({"a",        "b",        "Z",        " ",    ".",     ",",   ":",       "{",
                "}",        "[",        "]",        "\\\"", "\\\\",  "\\|", "\\u4e2d", "\xD6\xD0",
                "\x81\x5C", "\x81\x7B", "\x81\x5D", "'",    "#SYH#", "\t",  "\n",      "&amp;"});
    out += Chance(3) ? "" : Chance(5) ? "'" : "\"";
  }

  void Scalar(std::string& out) {
    switch (Below(6)) {
      case 0:
        String(out);
        break;
      case 1:
        out += std::to_string(Below(1000));
        break;
      case 2:
        out += Pick({"true", "false", "null", "1e5", "-0.5", "x y"});
        break;
      case 3:
        out += Pick({"", " ", "\xD6\xD0", "\x81\x5C"});
        break;
      default:
        String(out);
    }
  }

  void Name(std::string& out) {
    if (Chance(15)) {
      out += Pick({"a", "key", "a.b", "m[2]", "\xD6\xD0", "\x81\x7B", "", "x y", "'q'"});
    } else {
      String(out);
    }
  }

  void Value(std::string& out, int depth) {
    Space(out);
    if (depth <= 0 || Chance(35)) {
      Scalar(out);
    } else if (Chance(50)) {
      Container(out, depth, '{', '}', true);
    } else {
      Container(out, depth, '[', ']', false);
    }
    Space(out);
  }

  void Container(std::string& out, int depth, char open, char close, bool members) {
    out.push_back(open);
    const int n = Chance(10) ? Below(40) : Below(5);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += Chance(3) ? "" : ",";
      if (members) {
        Space(out);
        Name(out);
        Space(out);
        if (!Chance(3)) out += ":";
      }
      Value(out, depth - 1);
      if (Chance(2)) out += Pick({"]", "}", "[", "{", "\"", ":"});
    }
    if (Chance(8)) out += ",";
    Space(out);
    if (!Chance(3)) out.push_back(Chance(3) ? (close == '}' ? ']' : '}') : close);
  }

  uint64_t state_;
};

}  // namespace keelnode::testing
