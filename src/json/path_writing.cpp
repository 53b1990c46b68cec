#include "json/path_writing.h"

#include <array>

#include "services/mbcs.h"

namespace keelnode {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// An ASCII identifier; `extra` is one more character allowed anywhere.
bool IsIdentifier(const std::string& name, char extra) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (!(IsLetter(c) || c == extra || (i > 0 && IsDigit(c)))) return false;
  }
  return true;
}

// Words jq reads as its own after a ".".
bool IsJqKeyword(const std::string& name) {
  static constexpr std::array<std::string_view, 19> kWords = {
      "and",     "as",    "catch", "def", "elif",   "else", "end", "foreach", "if",      "import",
      "include", "label", "not",   "or",  "reduce", "then", "try", "__loc__", "__prog__"};
  for (std::string_view word : kWords) {
    if (name == word) return true;
  }
  return false;
}

void AppendHex(unsigned value, int digits, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kHex[(value >> shift) & 0xF]);
}

// How one quoted-string dialect escapes a control character, a backslash
// and its own quote; every other character, non-ASCII included, as it is.
enum class Dialect { kJson, kJsonPathSingle, kPython };

void AppendQuoted(const std::string& name, Dialect dialect, std::string& out) {
  const char quote = dialect == Dialect::kJsonPathSingle ? '\'' : '"';
  out.push_back(quote);
  size_t i = 0;
  while (i < name.size()) {
    const size_t len = UnitLength(name, i);
    if (len > 1) {
      out.append(name, i, len);
      i += len;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(name[i++]);
    if (c == static_cast<unsigned char>(quote) || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\n') {
      out.append("\\n");
    } else if (c == '\r') {
      out.append("\\r");
    } else if (c == '\t') {
      out.append("\\t");
    } else if (c == '\b' && dialect != Dialect::kPython) {
      out.append("\\b");
    } else if (c == '\f' && dialect != Dialect::kPython) {
      out.append("\\f");
    } else if (c < 0x20 || (c == 0x7F && dialect == Dialect::kPython)) {
      out.append(dialect == Dialect::kPython ? "\\x" : "\\u00");
      AppendHex(c, 2, out);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back(quote);
}

void AppendIndex(int64_t index, std::string& out) {
  out.push_back('[');
  out.append(std::to_string(index));
  out.push_back(']');
}

}  // namespace

std::string WriteJavaScriptPath(const std::vector<PathStep>& steps) {
  std::string out;
  for (const PathStep& step : steps) {
    if (step.kind == PathStep::Kind::kIndex) {
      AppendIndex(step.index, out);
    } else if (IsIdentifier(step.name, '$')) {
      if (!out.empty()) out.push_back('.');
      out.append(step.name);
    } else {
      out.push_back('[');
      AppendQuoted(step.name, Dialect::kJson, out);
      out.push_back(']');
    }
  }
  return out;
}

std::string WriteJqPath(const std::vector<PathStep>& steps) {
  if (steps.empty()) return ".";
  std::string out;
  for (const PathStep& step : steps) {
    if (step.kind == PathStep::Kind::kIndex) {
      if (out.empty()) out.push_back('.');
      AppendIndex(step.index, out);
      continue;
    }
    out.push_back('.');
    if (IsIdentifier(step.name, '_') && !IsJqKeyword(step.name)) {
      out.append(step.name);
    } else {
      AppendQuoted(step.name, Dialect::kJson, out);
    }
  }
  return out;
}

std::string WriteJsonPath(const std::vector<PathStep>& steps) {
  std::string out = "$";
  for (const PathStep& step : steps) {
    if (step.kind == PathStep::Kind::kIndex) {
      AppendIndex(step.index, out);
    } else if (IsIdentifier(step.name, '_')) {
      out.push_back('.');
      out.append(step.name);
    } else {
      out.push_back('[');
      AppendQuoted(step.name, Dialect::kJsonPathSingle, out);
      out.push_back(']');
    }
  }
  return out;
}

std::string WriteJsonPointer(const std::vector<PathStep>& steps) {
  std::string out;
  for (const PathStep& step : steps) {
    out.push_back('/');
    if (step.kind == PathStep::Kind::kIndex) {
      out.append(std::to_string(step.index));
      continue;
    }
    size_t i = 0;
    while (i < step.name.size()) {
      const size_t len = UnitLength(step.name, i);
      if (len == 1 && step.name[i] == '~') {
        out.append("~0");
      } else if (len == 1 && step.name[i] == '/') {
        out.append("~1");
      } else {
        out.append(step.name, i, len);
      }
      i += len;
    }
  }
  return out;
}

std::string WritePythonPath(const std::vector<PathStep>& steps) {
  std::string out;
  for (const PathStep& step : steps) {
    if (step.kind == PathStep::Kind::kIndex) {
      AppendIndex(step.index, out);
    } else {
      out.push_back('[');
      AppendQuoted(step.name, Dialect::kPython, out);
      out.push_back(']');
    }
  }
  return out;
}

}  // namespace keelnode
