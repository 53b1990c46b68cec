// Shortening text for display without splitting a character.
//
// A byte of 0x80 or above and the byte after it are one character (a
// four-byte GB18030 sequence, or what the text's end left of one, is kept
// whole); CR LF is one character; a lone
// CR or LF is one character. Counts and positions are in characters, widths
// in bytes.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// line_breaks: 1 the rules above; 0 CR and LF bytes are not counted; 2 every
// CR byte and every LF byte counts as one character.
int CountChars(std::string_view text, int line_breaks = 1);
std::string LeftChars(std::string_view text, int n);
std::string RightChars(std::string_view text, int n);
// The text itself when shorter than `width` bytes, else beginning + "..." + end.
std::string ShortenMiddle(std::string_view text, int width);

}  // namespace keelnode
