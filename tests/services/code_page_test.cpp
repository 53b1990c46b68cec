#include "services/code_page.h"

#include <gtest/gtest.h>

#include "services/mbcs.h"

namespace keelnode {
namespace {

TEST(CodePageTest, ConvertsCommonCharactersBothWays) {
  const std::string gb = "\xD6\xD0\xCE\xC4 ok";  // 中文 ok
  EXPECT_EQ(Gb18030ToUtf8(gb), "中文 ok");
  EXPECT_EQ(Utf8ToGb18030("中文 ok"), gb);
  EXPECT_EQ(Gb18030ToUtf16(gb), u"中文 ok");
  EXPECT_EQ(Utf16ToGb18030(u"中文 ok"), gb);
}

TEST(CodePageTest, FourByteSequencesCoverEveryPlane) {
  EXPECT_EQ(CodePointToGb18030(0x10000), "\x90\x30\x81\x30");
  EXPECT_EQ(CodePointToGb18030(0x10FFFF), "\xE3\x32\x9A\x35");
  EXPECT_EQ(CodePointToGb18030(0x20AC), "\xA2\xE3");  // euro sign
  EXPECT_EQ(CodePointToGb18030(0x80), "\x81\x30\x81\x30");
  EXPECT_EQ(Gb18030ToUtf8("\x90\x30\x81\x30"), "\xF0\x90\x80\x80");
  EXPECT_EQ(Utf16ToGb18030(u"\U0001F600"), CodePointToGb18030(0x1F600));
}

TEST(CodePageTest, EveryTwoByteCodeRoundTrips) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      std::string gb{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(Utf8ToGb18030(Gb18030ToUtf8(gb, InvalidBytes::kEscape)), gb)
          << std::hex << lead << " " << trail;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 126 * 190);
}

TEST(CodePageTest, InvalidUnitsAreEscapedReversiblyOrReplaced) {
  // A lead byte takes the byte after it, even a quote: the pair is invalid.
  const std::string bad = "a\x81\"b\xFF";
  EXPECT_EQ(Gb18030ToUtf8(bad),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToGb18030(Gb18030ToUtf8(bad, InvalidBytes::kEscape)), bad);
  EXPECT_EQ(Gb18030ToUtf16(bad), u"a\uFFFDb\uFFFD");
}

TEST(CodePageTest, CharactersAmongTheEscapeCodePointsSurviveARoundTrip) {
  const std::string text = "a" + CodePointToGb18030(0x10FE41) + "b";
  EXPECT_EQ(Utf8ToGb18030(Gb18030ToUtf8(text, InvalidBytes::kEscape)), text);
  EXPECT_EQ(Gb18030ToUtf8(text),
            "a\xF4\x8F\xB9\x81"
            "b");
}

TEST(CodePageTest, LoneSurrogatesAndBadUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToGb18030(std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");
  EXPECT_EQ(CodePointToGb18030(0xDC00), "?");
  EXPECT_EQ(CodePointToGb18030(0x110000), "?");
  EXPECT_EQ(Utf8ToGb18030("a\xC0\x80z"), "a??z");
}

TEST(CodePageTest, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("中文\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xD6\xD0"));          // GBK
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // truncated
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

TEST(CodePageTest, ZeroByteEndsText) {
  EXPECT_EQ(CutAtZero(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(CutAtZero("abc"), "abc");
}

TEST(CodePageTest, ConvertCharsetThroughIconv) {
  auto big5 = ConvertCharset("\xA4\xA4", "BIG5", "GB18030");  // 中 in Big5
  ASSERT_TRUE(big5.has_value());
  EXPECT_EQ(*big5, "\xD6\xD0");
  EXPECT_FALSE(ConvertCharset("x", "NO-SUCH-CHARSET", "GB18030").has_value());
  EXPECT_FALSE(ConvertCharset("\xFF\xFF", "UTF-8", "GB18030").has_value());
  EXPECT_EQ(ConvertCharset("", "UTF-8", "GB18030").value(), "");
}

TEST(MbcsTest, CharacterLengthTakesFourByteSequencesWhole) {
  // 귮 (82 38 82 39) at the start, then a two-byte 中, ASCII, œ (81 30 93 34).
  const std::string text =
      "\x82\x38\x82\x39\xD6\xD0"
      "8\x81\x30\x93\x34";
  EXPECT_EQ(CharacterLength(text, 0), 4u);
  EXPECT_EQ(CharacterLength(text, 4), 2u);
  EXPECT_EQ(CharacterLength(text, 6), 1u);
  EXPECT_EQ(CharacterLength(text, 7), 4u);
  // Cut by the end: what is left of the sequence is one character.
  EXPECT_EQ(CharacterLength("a\x82\x38\x82", 1), 3u);
  EXPECT_EQ(CharacterLength("a\x82\x38", 1), 2u);
  EXPECT_EQ(CharacterLength("a\x82", 1), 1u);
  // Not the shape of a four-byte sequence: two-byte units, so an ASCII byte
  // after a lead and a digit stays a character of its own.
  EXPECT_EQ(CharacterLength("\x82\x38"
                            "A\x82",
                            0),
            2u);
  EXPECT_EQ(CharacterLength("\x82\x38\xA1\xA1", 0), 2u);
  EXPECT_EQ(CharacterLength("\x82\x38\x82"
                            "A",
                            0),
            2u);
}

TEST(CodePageTest, ASequenceCutByTheEndShowsAsOneReplacement) {
  const std::string cut = "a\x82\x38\x82";
  EXPECT_EQ(Gb18030ToUtf16(cut), u"a\uFFFD");
  EXPECT_EQ(Gb18030ToUtf8(cut), "a\xEF\xBF\xBD");
  // Escaped for the engine, it still comes back byte for byte.
  EXPECT_EQ(Utf8ToGb18030(Gb18030ToUtf8(cut, InvalidBytes::kEscape)), cut);
  // Whole four-byte characters at the start, the end and next to others.
  const std::string text = Utf8ToGb18030("귮中a귯œ");
  EXPECT_EQ(Gb18030ToUtf16(text), u"귮中a귯œ");
  EXPECT_EQ(Utf16ToGb18030(Gb18030ToUtf16(text)), text);
}

TEST(MbcsTest, FindAsciiByteStepsOverSecondBytes) {
  // 0x5C (backslash) and 0x7B ("{") as second bytes of GBK characters.
  const std::string text = "\x81\x5C\x81\x7B{\\";
  EXPECT_EQ(FindAsciiByte(text, '\\'), 5u);
  EXPECT_EQ(FindAsciiByte(text, '{'), 4u);
  EXPECT_EQ(FindAsciiByte(text, '{', 5), std::string_view::npos);
  EXPECT_EQ(UnitLength(text, 0), 2u);
  EXPECT_EQ(UnitLength("\x81", 0), 1u);
  EXPECT_TRUE(IsFourByteSequence("\x90\x30\x81\x30", 0));
  EXPECT_FALSE(IsFourByteSequence("\xD6\xD0\xCE\xC4", 0));
}

}  // namespace
}  // namespace keelnode
