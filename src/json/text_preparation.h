// Text transformations of the JSON splitter, as scanners over units of the
// program's code page (a byte >= 0x80 and the byte after it are one unit).
//
// Each gives exactly what the splitter's stored regular expressions give
// (global, multi-line: "^" and "$" act at every CR and every LF):
//   cleanName          "[\s　]+\"|\"[\s　]+|^[ 　\"\t]+|[ 　\"\t]+$" -> ""
//   trimValue          "^[ 　\t]+|[ 　\t]+$" -> ""
//   compactWhitespace  "[\s　]+(\[|{|\")" -> "$1", then "(\]|}|\")[\s　]+" -> "$1"
// where \s is space, TAB, LF, VT, FF and CR, and 　 is U+3000.
//
// Only the steps of loading (preparing, compacting, protecting) give the
// window a turn on long texts; cleaning and trimming also serve to show a
// value, where a turn could let a reload replace the text being read.
#pragma once

#include <string>
#include <string_view>

namespace keelnode {

// The placeholder for an escaped double quote while text is being split.
inline constexpr std::string_view kEscapedQuotePlaceholder = "#SYH#";
// The marker that stands for an escaped backslash while quotes are protected.
inline constexpr std::string_view kEscapedBackslashMarker = "\\|\\|";

std::string CleanName(std::string_view text);
std::string TrimValue(std::string_view text);
// The part of `text` CleanName keeps when it only strips quotes at both
// ends: a sub-view of `text`; false when the full scanner is needed.
bool CleanNameIsSlice(std::string_view text, std::string_view* slice);

std::string CompactWhitespace(std::string_view text);
// The same in place; false when nothing changed.
bool CompactWhitespaceInPlace(std::string& text);
// Every "\\" to the marker, every backslash-quote to the placeholder, every
// marker back to "\\": three literal replacements, in place.
void ProtectEscapedQuotes(std::string& text);
// Both steps of preparing a text for splitting: escaped quotes protected,
// then whitespace compacted. False (and `out` left empty) when the text is
// prepared already.
bool PrepareForSplitting(std::string_view text, std::string& out);
std::string RestoreEscapedQuotes(std::string_view text);
std::string ConvertSingleQuotes(std::string_view text);

// Literal left-to-right replacement of every occurrence of `from` (ASCII)
// that starts at a unit boundary.
std::string ReplaceAllUnits(std::string_view text, std::string_view from, std::string_view to);

}  // namespace keelnode
