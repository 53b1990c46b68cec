#include "net/charset_conversion.h"

#include <gtest/gtest.h>

#include <string>

#include "test_bytes.h"

namespace keelnode {
namespace {

using nettest::encodeAs;
using nettest::gb;

TEST(CharsetConversionTest, ConvertsTheNamedCharsets) {
  const std::string text = "中文 abc ü 😀";
  EXPECT_EQ(convertToProgramText(text, "UTF-8"), gb(text));
  EXPECT_EQ(convertToProgramText(encodeAs(text, "UTF-16LE"), "UTF-16LE"), gb(text));
  EXPECT_EQ(convertToProgramText(encodeAs(text, "UTF-16BE"), "UTF-16BE"), gb(text));
  EXPECT_EQ(convertToProgramText(encodeAs("中文", "BIG5"), "BIG5"), gb("中文"));
  EXPECT_EQ(convertToProgramText(encodeAs("中文㗎", "BIG5-HKSCS"), "BIG5-HKSCS"), gb("中文㗎"));
  EXPECT_EQ(convertToProgramText("x", "NO-SUCH-CHARSET"), std::nullopt);
}

TEST(CharsetConversionTest, HkscsCombiningPairsComeOutWhole) {
  // 88 62 is one Big5-HKSCS code for two characters, U+00CA U+0304.
  EXPECT_EQ(convertToProgramText("\x88\x62", "BIG5-HKSCS"), gb("\u00CA\u0304"));
  EXPECT_EQ(convertToProgramText("a\x88\x62", "BIG5-HKSCS"), gb("a\u00CA\u0304"));
}

TEST(CharsetConversionTest, InvalidInputBecomesQuestionMarks) {
  EXPECT_EQ(convertToProgramText("a\x80"
                                 "b\xE4\xB8",
                                 "UTF-8"),
            "a?b?");
  // A lone surrogate, then an odd byte at the end.
  EXPECT_EQ(convertToProgramText(std::string("\x00\xD8"
                                             "a\x00"
                                             "z",
                                             5),
                                 "UTF-16LE"),
            "?a?");
  // An undefined Big5 pair counts as one character: its trail byte is no
  // '@'. A lead byte before an ASCII byte stands alone.
  EXPECT_EQ(convertToProgramText("\xA4\xA4\xFE\x40"
                                 "x",
                                 "BIG5"),
            gb("中") + "?x");
  EXPECT_EQ(convertToProgramText("\xA1"
                                 "0",
                                 "BIG5"),
            "?0");
}

TEST(CharsetConversionTest, TextEndsAtTheFirstNul) {
  EXPECT_EQ(convertToProgramText(std::string("ab\0cd", 5), "UTF-8"), "ab");
  EXPECT_EQ(convertToProgramText(std::string("\0", 1), "UTF-8"), "");
}

TEST(CharsetConversionTest, SurrogatePairAcrossTheOutputChunkStaysWhole) {
  // The conversion works in 32768-unit steps; put a pair across the seam.
  for (size_t lead : {32766u, 32767u, 32768u}) {
    const std::string text = std::string(lead, 'a') + "😀z";
    EXPECT_EQ(convertToProgramText(encodeAs(text, "UTF-16LE"), "UTF-16LE"), gb(text)) << lead;
  }
}

}  // namespace
}  // namespace keelnode
