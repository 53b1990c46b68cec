#include "viewer/text_box.h"

#include <gtest/gtest.h>

#include <QTest>

#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::Gb;

TEST(TextBoxTest, GivesBackWhatWasSetByteForByte) {
  TextBox box;
  // Mixed line breaks and a byte pair that is no GB18030 character.
  const std::string text = "a\nb\r\nc\x81\x20";
  box.setProgramText(text);
  EXPECT_EQ(box.programText(), text);
  EXPECT_EQ(box.toPlainText(), QStringLiteral("a\nb\nc\uFFFD"));  // the pair is one unit
}

TEST(TextBoxTest, AnEditedBoxKeepsTheBytesOutsideTheEdit) {
  TextBox box;
  box.setProgramText("a\nb");
  box.moveCursor(QTextCursor::End);
  box.insertPlainText(QStringLiteral("中"));
  EXPECT_EQ(box.programText(), Gb("a\nb中"));
  box.appendProgramText(Gb("尾\r\n"));
  EXPECT_EQ(box.programText(), Gb("a\nb中尾\r\n"));
  // Typed line breaks follow the text's own: the one it has most of, CR LF
  // on a tie or in a text without any.
  box.moveCursor(QTextCursor::Start);
  box.insertPlainText(QStringLiteral("\n"));
  EXPECT_EQ(box.programText(), Gb("\r\na\nb中尾\r\n"));
  box.setProgramText("a\nb\nc\r\n");
  box.moveCursor(QTextCursor::Start);
  box.insertPlainText(QStringLiteral("\n"));
  EXPECT_EQ(box.programText(), "\na\nb\nc\r\n");
  box.setProgramText("x");
  box.moveCursor(QTextCursor::End);
  box.insertPlainText(QStringLiteral("\ny"));
  EXPECT_EQ(box.programText(), "x\r\ny");
  // Setting a text again starts afresh.
  box.setProgramText("x\ny");
  EXPECT_EQ(box.programText(), "x\ny");
}

TEST(TextBoxTest, LongTextsShowTheirBeginningOnly) {
  TextBox box;
  box.setDisplayLimit(100);
  const std::string text = std::string(99, 'a') + Gb("中") + std::string(50, 'b');
  box.setProgramText(text);
  EXPECT_TRUE(box.isCut());
  EXPECT_TRUE(box.isReadOnly());
  const QString shown = box.toPlainText();
  EXPECT_TRUE(shown.startsWith(QString(99, QLatin1Char('a')) + QLatin1Char('\n')));
  EXPECT_TRUE(shown.contains(QStringLiteral("共 151 字节")));
  EXPECT_EQ(box.programText(), text);
  box.setProgramText("short");
  EXPECT_FALSE(box.isCut());
  EXPECT_FALSE(box.isReadOnly());
  EXPECT_EQ(box.toPlainText(), QStringLiteral("short"));
}

TEST(TextBoxTest, AHeadShowsItsBeginningAndGivesTheWholeWhenAsked) {
  TextBox box;
  box.setDisplayLimit(100);
  int made = 0;
  const std::string whole = std::string(150, 'a') + Gb("中");
  box.setProgramTextHead(whole.substr(0, 104), [&] {
    ++made;
    return whole;
  });
  EXPECT_TRUE(box.isCut());
  EXPECT_TRUE(box.isReadOnly());
  EXPECT_TRUE(box.toPlainText().startsWith(QString(100, QLatin1Char('a')) + QLatin1Char('\n')));
  EXPECT_TRUE(box.toPlainText().contains(QStringLiteral("只显示开头 100 字节")));
  EXPECT_EQ(made, 0);  // nothing more is made until it is asked for
  EXPECT_EQ(box.programText(), whole);
  EXPECT_EQ(made, 1);
  // A text set afterwards replaces the head and its maker.
  box.setProgramText("short");
  EXPECT_EQ(box.programText(), "short");
  EXPECT_EQ(made, 1);
}

TEST(TextBoxTest, ReadOnlyChosenByTheOwnerOutlivesACutText) {
  TextBox box;
  box.setReadOnly(true);
  box.setDisplayLimit(10);
  box.setProgramText(std::string(20, 'x'));
  box.setProgramText("short");
  EXPECT_TRUE(box.isReadOnly());
}

TEST(TextBoxTest, LongTextsWrapAnywhere) {
  TextBox box;
  box.setProgramText("words wrap at their boundaries");
  EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  box.setProgramText(std::string(TextBox::kWordWrapLimit + 1, 'x'));
  EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAnywhere);
}

}  // namespace
}  // namespace keelnode
