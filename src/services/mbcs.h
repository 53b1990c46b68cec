// Character stepping in the program's code page.
//
// A byte of 0x80 or above opens a two-byte unit and the byte after it closes
// it, whatever its value; so the second byte of a character is never taken
// for an ASCII delimiter, quote or backslash. A four-byte GB18030 sequence is
// two such units: scans for delimiters step by units, scans that count, cut or
// compare characters step by CharacterLength.
#pragma once

#include <cstddef>
#include <string_view>

namespace keelnode {

inline bool IsLeadByte(unsigned char byte) {
  return byte >= 0x80;
}

// Bytes taken by the unit that starts at `pos` (1 or 2, never past the end).
inline size_t UnitLength(std::string_view text, size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// True when the two units at `pos` form one four-byte GB18030 character.
inline bool IsFourByteSequence(std::string_view text, size_t pos) {
  if (pos + 3 >= text.size()) return false;
  auto b = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  return b(0) >= 0x81 && b(0) <= 0xFE && b(1) >= 0x30 && b(1) <= 0x39 && b(2) >= 0x81 &&
         b(2) <= 0xFE && b(3) >= 0x30 && b(3) <= 0x39;
}

// Bytes taken by the character that starts at `pos`: 1, 2, or 4 for a
// four-byte GB18030 sequence (fewer when the text ends inside one, so a cut
// sequence stays one character and nothing reads past the end). A sequence
// counts as four bytes only in the shape the decoder reads as one: bytes that
// are not (a lead, a digit, a lead, a digit) stay two-byte units, so scans
// by character see the characters that are shown. Every character start is
// also a unit start.
inline size_t CharacterLength(std::string_view text, size_t pos) {
  if (IsFourByteSequence(text, pos)) return 4;
  const size_t rest = text.size() - pos;
  if (rest == 3) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    if (b(0) >= 0x81 && b(0) <= 0xFE && b(1) >= 0x30 && b(1) <= 0x39 && b(2) >= 0x81 &&
        b(2) <= 0xFE)
      return 3;
  }
  return UnitLength(text, pos);
}

// Whether a unit starts at `pos`. Units can be told apart looking backwards:
// the byte after any byte below 0x80 starts a unit, so only the run of bytes
// of 0x80 or above right before `pos` matters, and it pairs up from its start.
inline bool IsUnitStart(std::string_view text, size_t pos) {
  size_t run = 0;
  while (run < pos && IsLeadByte(static_cast<unsigned char>(text[pos - run - 1])))
    ++run;
  return run % 2 == 0;
}

// Position of the first unit at or after `from` whose single byte is `byte`
// (an ASCII byte), stepping over multi-byte units; npos when there is none.
// `from` must be a unit start.
size_t FindAsciiByte(std::string_view text, char byte, size_t from = 0);

}  // namespace keelnode
