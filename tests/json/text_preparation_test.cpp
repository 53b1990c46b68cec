#include "json/text_preparation.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

const std::string kIdeographicSpace = "\xA1\xA1";

TEST(TextPreparationTest, CleanNameStripsQuotesWithTheirBlanks) {
  EXPECT_EQ(CleanName("\"name\""), "name");
  EXPECT_EQ(CleanName("  \"name\"  "), "name");
  EXPECT_EQ(CleanName("a"), "a");
  EXPECT_EQ(CleanName(" a b "), "a b");
  EXPECT_EQ(CleanName("'a'"), "'a'");    // apostrophes are not quotes
  EXPECT_EQ(CleanName("a\"b"), "a\"b");  // a quote inside stays
  EXPECT_EQ(CleanName("x \"y"), "xy");   // whitespace then a quote
  EXPECT_EQ(CleanName("x\" y"), "xy");   // a quote then whitespace
  EXPECT_EQ(CleanName("\t" + kIdeographicSpace + "\"v\"" + kIdeographicSpace), "v");
  EXPECT_EQ(CleanName("\"\"\""), "");
  // Multi-line: the strip acts at every line break.
  EXPECT_EQ(CleanName("a \r\n b"), "a\r\nb");
  // A quote swallows the line break after it; the next quote then stands
  // at a line start.
  EXPECT_EQ(CleanName("\"a\"\n\"b\""), "ab");
}

TEST(TextPreparationTest, CleanNameSliceAgreesWithTheScanner) {
  for (std::string text : {"\"name\"", "plain", "\"\"x\"\"", "\"", "", "a\"b", "\xD6\xD0\"x"}) {
    std::string_view slice;
    ASSERT_TRUE(CleanNameIsSlice(text, &slice)) << text;
    EXPECT_EQ(std::string(slice), CleanName(text)) << text;
  }
  std::string_view slice;
  EXPECT_FALSE(CleanNameIsSlice(" x", &slice));
}

TEST(TextPreparationTest, TrimValueTrimsBlanksAtLineEdgesOnly) {
  EXPECT_EQ(TrimValue("  1  "), "1");
  EXPECT_EQ(TrimValue("\t" + kIdeographicSpace + "x"), "x");
  EXPECT_EQ(TrimValue("1\n"), "1\n");       // line breaks are not trimmed
  EXPECT_EQ(TrimValue("1 \n  }"), "1\n}");  // blanks beside a break are
  EXPECT_EQ(TrimValue("a  b"), "a  b");
  EXPECT_EQ(TrimValue("   "), "");
}

TEST(TextPreparationTest, CompactionRemovesWhitespaceBesideBracketsAndQuotes) {
  EXPECT_EQ(CompactWhitespace("{ \"a\" : [ 1 , 2 ] }"), "{\"a\":[ 1 , 2 ]}");
  EXPECT_EQ(CompactWhitespace("{\n  \"k\": \"  v  \"\n}"), "{\"k\":\"v\"}");
  EXPECT_EQ(CompactWhitespace("a \v\f\r\n["), "a[");
  EXPECT_EQ(CompactWhitespace("]" + kIdeographicSpace + "x"), "]x");
  EXPECT_EQ(CompactWhitespace("1 2"), "1 2");
}

TEST(TextPreparationTest, EscapedQuotesAreProtectedAndRestored) {
  std::string text = R"({"k":"x\"y","b":"\\","c":"\\\"z"})";
  ProtectEscapedQuotes(text);
  EXPECT_EQ(text, R"({"k":"x#SYH#y","b":"\\","c":"\\#SYH#z"})");
  EXPECT_EQ(RestoreEscapedQuotes(text), R"({"k":"x\"y","b":"\\","c":"\\\"z"})");
}

TEST(TextPreparationTest, SecondBytesAreNeverBackslashesOrQuotes) {
  // 0x5C as the second byte of a character must not escape the quote.
  std::string text = "\"\x81\x5C\"";
  ProtectEscapedQuotes(text);
  EXPECT_EQ(text, "\"\x81\x5C\"");
  EXPECT_EQ(ReplaceAllUnits("\x81\x5C\x5C", "\\\\", "#"), "\x81\x5C\x5C");
  EXPECT_EQ(ReplaceAllUnits("\x5C\x5C\x81\x5C", "\\\\", "#"), "#\x81\x5C");
}

TEST(TextPreparationTest, SingleQuoteConversion) {
  EXPECT_EQ(ConvertSingleQuotes("{'a':'say \"hi\"'}"), R"({"a":"say \"hi\""})");
  EXPECT_EQ(ConvertSingleQuotes("{'a':'it\\'s'}"), "{\"a\":\"it\\'s\"}");
  // Applied as written even to double-quoted text.
  EXPECT_EQ(ConvertSingleQuotes(R"({"a":1})"), R"({\"a\":1})");
  EXPECT_EQ(ConvertSingleQuotes(R"(['\\'])"), R"(["\\"])");
  // A backslash that is a second byte does not escape the apostrophe.
  EXPECT_EQ(ConvertSingleQuotes("'\x81\x5C'"), "\"\x81\x5C\"");
}

}  // namespace
}  // namespace keelnode
