#include "viewer/program_text.h"

#include <gtest/gtest.h>

#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::Gb;

TEST(ProgramTextTest, CrossesBetweenQStringAndTheCodePage) {
  EXPECT_EQ(ToQString(Gb("中文 ok")), QStringLiteral("中文 ok"));
  EXPECT_EQ(FromQString(QStringLiteral("中文 ok")), Gb("中文 ok"));
  EXPECT_EQ(FromQString(QStringLiteral("😀")), Gb("😀"));  // four bytes in GB18030
  EXPECT_EQ(ProgramText("岚溪"), Gb("岚溪"));
  EXPECT_EQ(ToQString(""), QString());
}

TEST(ProgramTextTest, FourByteCharactersCrossWhole) {
  // At the start, the end, next to two-byte characters and ASCII.
  const QString text = QStringLiteral("귮中8귯œ😀");
  EXPECT_EQ(ToQString(FromQString(text)), text);
  EXPECT_EQ(FromQString(text), Gb("귮中8귯œ😀"));
  // Cut by the end: one replacement character, not two.
  EXPECT_EQ(ToQString("8\x82\x38\x82"), QStringLiteral("8\uFFFD"));
}

TEST(ProgramTextTest, MultiLineBoxesGiveCrLf) {
  EXPECT_EQ(FromMultiLineQString(QStringLiteral("a\nb\r\nc\n")), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(FromMultiLineQString(QStringLiteral("no break")), "no break");
}

TEST(ProgramTextTest, PrefixWithinNeverSplitsACharacter) {
  const std::string text = Gb("a中b😀c");  // 1 + 2 + 1 + 4 + 1 bytes
  EXPECT_EQ(PrefixWithin(text, 0), "");
  EXPECT_EQ(PrefixWithin(text, 1), "a");
  EXPECT_EQ(PrefixWithin(text, 2), "a");
  EXPECT_EQ(PrefixWithin(text, 3), Gb("a中"));
  EXPECT_EQ(PrefixWithin(text, 7), Gb("a中b"));
  EXPECT_EQ(PrefixWithin(text, 8), Gb("a中b😀"));
  EXPECT_EQ(PrefixWithin(text, 100), text);
  // A lone lead byte at the end is one unit of its own.
  EXPECT_EQ(PrefixWithin("ab\x81", 3), "ab\x81");
  // What the end left of a four-byte sequence is one character.
  EXPECT_EQ(PrefixWithin("ab\x82\x38\x82", 4), "ab");
  EXPECT_EQ(PrefixWithin("ab\x82\x38\x82", 5), "ab\x82\x38\x82");
}

}  // namespace
}  // namespace keelnode
