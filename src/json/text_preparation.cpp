#include "json/text_preparation.h"

#include <cstring>
#include <vector>

#include "services/mbcs.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

// One unit of text: its byte length and, for single-byte units, the byte.
struct Unit {
  size_t len;
  char byte;              // 0 for a multi-byte unit
  bool ideographicSpace;  // U+3000, bytes A1 A1
};

Unit UnitAt(std::string_view text, size_t i) {
  size_t len = UnitLength(text, i);
  if (len == 1) return {1, text[i], false};
  bool space = static_cast<unsigned char>(text[i]) == 0xA1 &&
               static_cast<unsigned char>(text[i + 1]) == 0xA1;
  return {2, 0, space};
}

bool IsLineBreak(const Unit& u) {
  return u.byte == '\n' || u.byte == '\r';
}
// \s as the patterns mean it, plus U+3000.
bool IsWhitespace(const Unit& u) {
  return u.ideographicSpace || u.byte == ' ' || (u.byte >= '\t' && u.byte <= '\r');
}
// Space, TAB and U+3000: what trimming takes off a line.
bool IsBlank(const Unit& u) {
  return u.ideographicSpace || u.byte == ' ' || u.byte == '\t';
}
bool IsNameStrip(const Unit& u) {
  return IsBlank(u) || u.byte == '"';
}

template <typename Pred>
size_t RunEnd(std::string_view text, size_t i, Pred&& pred) {
  while (i < text.size()) {
    Unit u = UnitAt(text, i);
    if (!pred(u)) break;
    i += u.len;
  }
  return i;
}

bool AtLineEnd(std::string_view text, size_t i) {
  return i >= text.size() || IsLineBreak(UnitAt(text, i));
}

// The ASCII bytes a scanner has to look at; every other unit is copied as
// it is. U+3000 (A1 A1) always counts as one to look at.
struct ByteSet {
  bool in[128] = {};
  constexpr ByteSet(std::string_view bytes) {
    for (char c : bytes)
      in[static_cast<unsigned char>(c)] = true;
  }
};
constexpr ByteSet kWhitespaceAndQuote(" \t\n\v\f\r\"");
constexpr ByteSet kWhitespaceAndBrackets(" \t\n\v\f\r\"[]{}");

// Position of the first unit at or after `i` that is in `set` or is U+3000.
size_t SkipPlainUnits(std::string_view text, size_t i, const ByteSet& set) {
  const size_t n = text.size();
  while (i < n) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if (set.in[b]) return i;
      ++i;
    } else {
      if (b == 0xA1 && i + 1 < n && static_cast<unsigned char>(text[i + 1]) == 0xA1) return i;
      i += i + 1 < n ? 2 : 1;
    }
  }
  return n;
}

}  // namespace

std::string ReplaceAllUnits(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  size_t i = 0;
  while (true) {
    size_t hit = FindAsciiByte(text, from[0], i);
    if (hit == std::string_view::npos) break;
    if (text.compare(hit, from.size(), from) == 0) {
      out.append(text.substr(i, hit - i));
      out.append(to);
      i = hit + from.size();
    } else {
      out.append(text.substr(i, hit + 1 - i));
      i = hit + 1;
    }
  }
  out.append(text.substr(i));
  return out;
}

std::string CleanName(std::string_view text) {
  std::string_view slice;
  if (CleanNameIsSlice(text, &slice)) return std::string(slice);
  std::string out;
  out.reserve(text.size());
  bool line_start = true;
  // Ends of the maximal runs that contain the current position; every
  // position inside a run has the same end, so long runs stay linear.
  size_t ws_end = 0;
  size_t strip_end = 0;
  size_t i = 0;
  while (i < text.size()) {
    const size_t plain = SkipPlainUnits(text, i, kWhitespaceAndQuote);
    if (plain > i) {
      out.append(text, i, plain - i);
      line_start = false;
      i = plain;
      continue;
    }
    Unit u = UnitAt(text, i);
    if (IsWhitespace(u)) {
      if (i >= ws_end) ws_end = RunEnd(text, i, IsWhitespace);
      if (ws_end < text.size() && text[ws_end] == '"') {  // whitespace then a quote
        i = ws_end + 1;
        line_start = false;
        continue;
      }
    }
    if (u.byte == '"' && i + 1 < text.size() && IsWhitespace(UnitAt(text, i + 1))) {
      if (i + 1 >= ws_end) ws_end = RunEnd(text, i + 1, IsWhitespace);  // a quote then whitespace
      size_t last = i + 1;
      for (size_t k = i + 1; k < ws_end; k += UnitLength(text, k))
        last = k;
      line_start = IsLineBreak(UnitAt(text, last));
      i = ws_end;
      continue;
    }
    if (IsNameStrip(u)) {
      if (i >= strip_end) strip_end = RunEnd(text, i, IsNameStrip);
      if (line_start || AtLineEnd(text, strip_end)) {
        i = strip_end;
        line_start = false;
        continue;
      }
    }
    out.append(text.substr(i, u.len));
    line_start = IsLineBreak(u);
    i += u.len;
  }
  return out;
}

std::string TrimValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool line_start = true;
  size_t i = 0;
  while (i < text.size()) {
    Unit u = UnitAt(text, i);
    if (IsBlank(u)) {
      size_t j = RunEnd(text, i, IsBlank);
      if (!line_start && !AtLineEnd(text, j)) out.append(text.substr(i, j - i));
      i = j;
      line_start = false;
      continue;
    }
    out.append(text.substr(i, u.len));
    line_start = IsLineBreak(u);
    i += u.len;
  }
  return out;
}

bool CleanNameIsSlice(std::string_view text, std::string_view* slice) {
  // Without whitespace only the quotes at both ends go. A byte that might be
  // whitespace (or start U+3000) sends the text to the full scanner.
  for (char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b == ' ' || (b >= '\t' && b <= '\r') || b == 0xA1) return false;
  }
  size_t begin = 0;
  while (begin < text.size() && text[begin] == '"')
    ++begin;
  size_t end = text.size();
  while (end > begin && text[end - 1] == '"' && IsUnitStart(text, end - 1))
    --end;
  *slice = text.substr(begin, end - begin);
  return true;
}

bool CompactWhitespaceInPlace(std::string& text) {
  // Output never outgrows input, so the kept bytes move down in place.
  size_t write = 0;
  bool after_closer = false;
  YieldEvery yield;
  size_t i = 0;
  while (i < text.size()) {
    yield.Reached(i);
    const size_t plain = SkipPlainUnits(text, i, kWhitespaceAndBrackets);
    if (plain > i) {
      if (write != i) std::memmove(text.data() + write, text.data() + i, plain - i);
      write += plain - i;
      after_closer = false;
      i = plain;
      continue;
    }
    Unit u = UnitAt(text, i);
    if (IsWhitespace(u)) {
      size_t j = RunEnd(text, i, IsWhitespace);
      bool before_opener = j < text.size() && (text[j] == '[' || text[j] == '{' || text[j] == '"');
      if (!after_closer && !before_opener) {
        if (write != i) std::memmove(text.data() + write, text.data() + i, j - i);
        write += j - i;
      }
      after_closer = false;
      i = j;
      continue;
    }
    if (write != i) {
      text[write] = text[i];
      if (u.len == 2) text[write + 1] = text[i + 1];
    }
    write += u.len;
    after_closer = u.byte == ']' || u.byte == '}' || u.byte == '"';
    i += u.len;
  }
  const bool changed = write != text.size();
  text.resize(write);
  return changed;
}

std::string CompactWhitespace(std::string_view text) {
  std::string out(text);
  CompactWhitespaceInPlace(out);
  return out;
}

void ProtectEscapedQuotes(std::string& text) {
  if (text.find('\\') == std::string::npos) return;
  text = ReplaceAllUnits(text, "\\\\", kEscapedBackslashMarker);
  text = ReplaceAllUnits(text, "\\\"", kEscapedQuotePlaceholder);
  text = ReplaceAllUnits(text, kEscapedBackslashMarker, "\\\\");
}

namespace {

// Protection in one pass, for text without a backslash before "|": then the
// markers of the three literal replacements are exactly the backslash pairs,
// so pairs stay and a lone backslash before a quote becomes the placeholder.
// False when nothing changes.
bool ProtectInOnePass(std::string_view text, std::string& out) {
  size_t from = 0;
  bool changed = false;
  YieldEvery yield;
  for (size_t i = FindAsciiByte(text, '\\'); i != std::string_view::npos;) {
    yield.Reached(i);
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      i = FindAsciiByte(text, '\\', i + 2);
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '"') {
      if (!changed) out.reserve(text.size() + text.size() / 16);
      changed = true;
      out.append(text, from, i - from);
      out.append(kEscapedQuotePlaceholder);
      from = i + 2;
    }
    i = i + 1 < text.size() ? FindAsciiByte(text, '\\', i + 1) : std::string_view::npos;
  }
  if (changed) out.append(text, from, std::string_view::npos);
  return changed;
}

bool HasBackslashBeforeBar(std::string_view text) {
  for (size_t i = text.find("\\|"); i != std::string_view::npos; i = text.find("\\|", i + 1))
    if (IsUnitStart(text, i)) return true;
  return false;
}

// Whether compaction would remove anything, without copying the text.
bool NeedsCompaction(std::string_view text) {
  bool after_closer = false;
  YieldEvery yield;
  size_t i = 0;
  while (i < text.size()) {
    yield.Reached(i);
    const size_t plain = SkipPlainUnits(text, i, kWhitespaceAndBrackets);
    if (plain > i) {
      after_closer = false;
      i = plain;
      continue;
    }
    Unit u = UnitAt(text, i);
    if (IsWhitespace(u)) {
      size_t j = RunEnd(text, i, IsWhitespace);
      if (after_closer || (j < text.size() && (text[j] == '[' || text[j] == '{' || text[j] == '"')))
        return true;
      after_closer = false;
      i = j;
      continue;
    }
    after_closer = u.byte == ']' || u.byte == '}' || u.byte == '"';
    i += u.len;
  }
  return false;
}

}  // namespace

bool PrepareForSplitting(std::string_view text, std::string& out) {
  out.clear();
  bool protected_changed;
  if (HasBackslashBeforeBar(text)) {
    out.assign(text);
    ProtectEscapedQuotes(out);
    protected_changed = out != text;
  } else {
    protected_changed = ProtectInOnePass(text, out);
  }
  if (protected_changed) {
    CompactWhitespaceInPlace(out);
    return true;
  }
  out.clear();
  if (!NeedsCompaction(text)) return false;
  out.assign(text);
  CompactWhitespaceInPlace(out);
  return true;
}

std::string RestoreEscapedQuotes(std::string_view text) {
  if (text.find('#') == std::string_view::npos) return std::string(text);
  return ReplaceAllUnits(text, kEscapedQuotePlaceholder, "\\\"");
}

std::string ConvertSingleQuotes(std::string_view text) {
  std::string buffer = ReplaceAllUnits(text, "\\\\", kEscapedBackslashMarker);
  std::vector<size_t> quotes;
  bool after_backslash = false;
  for (size_t i = 0; i < buffer.size();) {
    Unit u = UnitAt(buffer, i);
    if (u.byte == '\'' && !after_backslash) buffer[i] = '"';
    if (u.byte == '"' && !after_backslash) quotes.push_back(i);
    after_backslash = u.byte == '\\';
    i += u.len;
  }
  std::string out;
  out.reserve(buffer.size() + quotes.size());
  size_t from = 0;
  for (size_t q : quotes) {
    out.append(buffer, from, q - from);
    out.push_back('\\');
    from = q;
  }
  out.append(buffer, from, std::string::npos);
  return ReplaceAllUnits(out, kEscapedBackslashMarker, "\\\\");
}

}  // namespace keelnode
