#include "json/value_heads.h"

#include <algorithm>

#include "json/escape_decoding.h"
#include "json/text_preparation.h"
#include "services/mbcs.h"

// Why a cut input gives a beginning of the output:
// - Cleaning (CleanName, then the escaped-quote placeholders restored) and
//   compacting look ahead only over runs of blanks, quotes and placeholder
//   bytes; cut after a unit that is none of these, nothing before the cut
//   looks past it, so the output of the part is the output of the whole up
//   to there.
// - "\u" escapes reach 12 bytes ahead and a backslash pairs with the byte
//   after it, so a cut with no backslash in the 13 bytes before it is safe.
// - An "&" decides by the first ";" after it and whether the bytes up to it
//   are ASCII. Only an "&" followed by nothing but ASCII up to the cut and
//   no ";" can decide otherwise in the whole text: the decoded beginning
//   stops before the first such "&".
namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;

bool IsSpaceByte(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsIdeographicSpace(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]) == 0xA1 &&
         static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

// Whether cutting right after the character at `i` (of `len` bytes) keeps
// the value box's transformation from reaching across the cut.
bool EndsSafely(std::string_view text, size_t i, size_t len, ValueForm form) {
  if (len == 2) return !IsIdeographicSpace(text, i);
  if (len > 2) return true;
  const char c = text[i];
  if (IsSpaceByte(c) || c == '"') return false;
  if (form == ValueForm::kRoot) return c != ']' && c != '}';
  return kEscapedQuotePlaceholder.find(c) == npos;
}

// The first cut at or after `from` (character starts counted from 0, so a
// four-byte character is never cut in two) after which nothing reaches
// back, or npos when there is none before the end.
size_t SafeCut(std::string_view text, size_t from, ValueForm form) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t len = CharacterLength(text, i);
    if (len == 1 && IsLeadByte(static_cast<unsigned char>(text[i]))) return npos;  // cut off
    if (i + len >= from && EndsSafely(text, i, len, form)) return i + len;
    i += len;
  }
  return npos;
}

TextHead ValueHead(std::string_view stored, ValueForm form, size_t bytes) {
  for (size_t from = std::max<size_t>(bytes, 1); from < stored.size(); from *= 2) {
    const size_t cut = SafeCut(stored, from, form);
    if (cut == npos || cut >= stored.size()) break;
    std::string head = WholeValue(stored.substr(0, cut), form);
    if (head.size() >= bytes) return {std::move(head), false};
  }
  return {WholeValue(stored, form), true};
}

// The last cut of `text` with no backslash unit in the 13 bytes before it
// and no character cut in two.
size_t EscapeSafeCut(std::string_view text) {
  size_t safe = 0;
  size_t backslash = npos;
  size_t i = 0;
  while (i < text.size()) {
    if (backslash == npos || i > backslash + 13) safe = i;
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 >= text.size()) return safe;
    const size_t len = CharacterLength(text, i);
    if (len == 1 && text[i] == '\\') backslash = i;
    i += len;
  }
  if (backslash == npos || i > backslash + 13) safe = i;
  return safe;
}

// Whether the reference an "&" starts, with `body` (ASCII, no ";") after
// it up to the cut, could still decode once more text follows. A name
// longer than the longest entity, or a byte no reference of its kind takes,
// settles it as literal text; only "#x" bodies read any byte (as a digit of
// 0 or more), and they settle once their value is past the last code point.
bool StillOpen(std::string_view body) {
  constexpr int64_t kLastCodePoint = 0x10FFFF;
  constexpr size_t kLongestEntityName = 8;
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  if (body.empty() || body[0] != '#') {
    if (body.size() > kLongestEntityName) return false;
    return std::all_of(body.begin(), body.end(), [&](char c) {
      return is_digit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    });
  }
  int64_t value = 0;
  if (body.size() > 1 && body[1] == 'x') {
    for (char c : body.substr(2)) {
      const unsigned char b = static_cast<unsigned char>(c | 0x20);
      value = value * 16 + (is_digit(c) ? c - '0' : b >= 'a' && b <= 'z' ? b - 'a' + 10 : 0);
      if (value > kLastCodePoint) return false;
    }
    return true;
  }
  for (char c : body.substr(1)) {
    if (!is_digit(c)) return false;
    value = value * 10 + (c - '0');
    if (value > kLastCodePoint) return false;
  }
  return true;
}

// Where the first "&" lies whose reading could change with more text; the
// end when there is none. Only an "&" followed by ASCII and no ";" up to
// the cut can be open, and most of those are settled within a few bytes.
size_t FirstOpenReference(std::string_view text) {
  size_t tail = text.size();
  while (tail > 0 && !IsLeadByte(static_cast<unsigned char>(text[tail - 1])))
    --tail;
  // From `tail` on every byte is ASCII, so each is a unit of its own.
  const size_t semicolon = text.rfind(';');
  if (semicolon != npos && semicolon >= tail) tail = semicolon + 1;
  for (size_t amp = text.find('&', tail); amp != npos; amp = text.find('&', amp + 1)) {
    if (StillOpen(text.substr(amp + 1))) return amp;
  }
  return text.size();
}

}  // namespace

std::string WholeValue(std::string_view stored, ValueForm form) {
  if (form == ValueForm::kRoot) return CompactWhitespace(stored);
  std::string_view slice;
  std::string out = CleanNameIsSlice(stored, &slice) ? std::string(slice) : CleanName(stored);
  if (out.find('#') != npos) out = RestoreEscapedQuotes(out);
  return out;
}

std::string DecodeValue(std::string_view value) {
  return decodeHtmlEntities(decodeUnicodeEscapes(value, false));
}

ValueHeads ValueHeadsOf(std::string_view stored, ValueForm form, size_t bytes) {
  ValueHeads heads;
  for (size_t want = std::max<size_t>(bytes, 1);; want *= 2) {
    heads.value = ValueHead(stored, form, want);
    if (heads.value.whole) {
      heads.decoded = {DecodeValue(heads.value.text), true};
      break;
    }
    const std::string_view value = heads.value.text;
    const std::string unescaped =
        decodeUnicodeEscapes(value.substr(0, EscapeSafeCut(value)), false);
    std::string decoded =
        decodeHtmlEntities(std::string_view(unescaped).substr(0, FirstOpenReference(unescaped)));
    if (decoded.size() >= bytes) {
      heads.decoded = {std::move(decoded), false};
      break;
    }
  }
  return heads;
}

}  // namespace keelnode
