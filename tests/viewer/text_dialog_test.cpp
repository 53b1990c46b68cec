// The text dialog in both modes: set-up, buttons, close check, imports,
// layout; and the conversion of its file filter.
#include "viewer/text_dialog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <memory>

#include "viewer/program_text.h"
#include "viewer/text_box.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::AnswerNextMessageBox;
using testing::Gb;
using testing::OnNextModal;

class TextDialogTest : public ::testing::Test {
 public:
  void open(const TextDialogParams& params) {
    dialog_ = std::make_unique<TextDialog>(params, nullptr);
    dialog_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
  }
  TextDialog& dialog() { return *dialog_; }
  QPushButton* button(const char* name) {
    auto* found = dialog_->findChild<QPushButton*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QPlainTextEdit* content() {
    return dialog_->findChild<QPlainTextEdit*>(QStringLiteral("编辑框正文"));
  }
  QWidget* widget(const char* name) {
    return dialog_->findChild<QWidget*>(QString::fromUtf8(name));
  }
  TextDialogParams input(std::string_view initial = {}) {
    return MakeTextDialogParams(Gb(initial), DialogMode::kInput, {.prompt = std::string()});
  }

 private:
  std::unique_ptr<TextDialog> dialog_;
};

TEST_F(TextDialogTest, ArgumentsBecomeTheRecord) {
  TextDialogParams p = MakeTextDialogParams("abc", DialogMode::kInput, {.prompt = std::string()});
  EXPECT_EQ(p.prompt, Gb("请输入数据："));
  EXPECT_EQ(p.title, Gb("岚溪："));
  EXPECT_EQ(p.initial, "abc");
  EXPECT_FALSE(p.infoMode);
  EXPECT_EQ(p.margin, 5);
  p = MakeTextDialogParams("abc", std::string(), "T", false, 1, false, 300, 200, true, 8, 3);
  EXPECT_EQ(p.prompt, Gb("以下为信息详情："));
  EXPECT_EQ(p.title, "T");
  EXPECT_TRUE(p.infoMode);
  EXPECT_EQ(p.contentStyle, ContentStyle::kReadOnly);
  EXPECT_EQ(p.width, 300);
  EXPECT_EQ(p.height, 200);
  EXPECT_TRUE(p.bothScrollBars);
  EXPECT_EQ(p.margin, 8);
  EXPECT_EQ(p.fileButtons, 3);
  EXPECT_EQ(MakeTextDialogParams("", DialogMode::kInput).prompt, "");
  EXPECT_EQ(MakeTextDialogParams("", DialogMode::kInput, {.prompt = "Q"}).prompt, "Q");
  EXPECT_EQ(MakeTextDialogParams("", DialogMode::kInput, {.margin = -3}).margin, 5);
  // The positional form maps onto the same record.
  const TextDialogParams typed = MakeTextDialogParams(
      "x", DialogMode::kInformation,
      {.prompt = "P", .title = "T", .contentStyle = ContentStyle::kReadOnly, .width = 9});
  const TextDialogParams positional =
      MakeTextDialogParams("x", std::string("P"), "T", false, 1, false, 9);
  EXPECT_EQ(positional.prompt, typed.prompt);
  EXPECT_EQ(positional.contentStyle, typed.contentStyle);
  EXPECT_EQ(positional.width, typed.width);
  EXPECT_EQ(positional.infoMode, typed.infoMode);
}

TEST_F(TextDialogTest, InformationModeShowsOnlyACloseButton) {
  open(MakeTextDialogParams(Gb("说明\r\n第二行"), DialogMode::kInformation));
  EXPECT_FALSE(button("按钮确定")->isVisible());
  EXPECT_FALSE(widget("外形框")->isVisible());
  EXPECT_TRUE(content()->isReadOnly());
  EXPECT_EQ(content()->toPlainText(), QStringLiteral("说明\n第二行"));
  EXPECT_EQ(button("按钮取消")->text(), QStringLiteral("关闭(&G)"));
  EXPECT_TRUE(button("按钮取消")->isDefault());
  EXPECT_EQ(dialog().windowTitle(), QStringLiteral("岚溪："));
  EXPECT_TRUE(content()->hasFocus());
  // Enter closes it; nothing was accepted.
  QTest::keyClick(content(), Qt::Key_Return);
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_FALSE(dialog().accepted());
}

TEST_F(TextDialogTest, InformationModeClosesWithoutAsking) {
  open(MakeTextDialogParams("text", DialogMode::kInformation));
  EXPECT_TRUE(dialog().close());
  EXPECT_FALSE(dialog().isVisible());
}

TEST_F(TextDialogTest, InputModeOffersItsButtonsAndReturnsTheText) {
  open(input("start"));
  EXPECT_TRUE(button("按钮确定")->isVisible());
  EXPECT_TRUE(widget("外形框")->isVisible());
  EXPECT_FALSE(content()->isReadOnly());
  EXPECT_FALSE(button("按钮文件")->isVisible());
  EXPECT_FALSE(button("按钮文件名")->isVisible());
  EXPECT_EQ(qobject_cast<QTextEdit*>(widget("编辑框提示"))->toPlainText(),
            QStringLiteral("请输入数据："));
  QTest::keyClick(content(), Qt::Key_End, Qt::ControlModifier);
  content()->insertPlainText(QStringLiteral("中"));
  button("按钮确定")->click();
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_TRUE(dialog().accepted());
  EXPECT_EQ(dialog().resultText(), Gb("start中"));
}

TEST_F(TextDialogTest, CloseBoxAsksBeforeDroppingChanges) {
  open(input("start"));
  QTest::keyClicks(content(), QStringLiteral("x"));
  QString asked;
  AnswerNextMessageBox(QStringLiteral("否"), &asked);
  EXPECT_FALSE(dialog().close());
  EXPECT_EQ(asked, QStringLiteral("内容已被改动，是否要放弃？"));
  EXPECT_TRUE(dialog().isVisible());
  // Esc asks the same question.
  AnswerNextMessageBox(QStringLiteral("否"));
  QTest::keyClick(content(), Qt::Key_Escape);
  EXPECT_TRUE(dialog().isVisible());
  AnswerNextMessageBox(QStringLiteral("是"));
  EXPECT_TRUE(dialog().close());
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_FALSE(dialog().accepted());
}

TEST_F(TextDialogTest, AnEditUndoneByHandIsNoChange) {
  open(input("a\nb"));
  QTest::keyClick(content(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(content(), QStringLiteral("x"));
  QTest::keyClick(content(), Qt::Key_Backspace);
  // The close check compares this with the start value (before closing, so
  // that a question would not wait for an answer).
  auto* box = qobject_cast<TextBox*>(content());
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->programText(), "a\nb");
  EXPECT_TRUE(dialog().close());  // nothing asked
  open(input("a\nb"));
  QTest::keyClicks(content(), QStringLiteral("x"));
  QTest::keyClick(content(), Qt::Key_Backspace);
  button("按钮确定")->click();
  EXPECT_EQ(dialog().resultText(), "a\nb");
}

TEST_F(TextDialogTest, EditsKeepLineBreaksAndBytesAroundThem) {
  // Lone CRs, invalid bytes and a four-byte character outside the edit stay.
  const std::string start = "one\rtwo\x81\x20\r\x82\x38\x82\x39\rend";
  open(MakeTextDialogParams(start, DialogMode::kInput, {.prompt = std::string()}));
  QTest::keyClick(content(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(content(), QStringLiteral("!"));
  QTest::keyClick(content(), Qt::Key_Return);
  content()->insertPlainText(QStringLiteral("中"));
  button("按钮确定")->click();
  // The new line break is written as the text mostly writes them: CR.
  EXPECT_EQ(dialog().resultText(), start + "!\r" + Gb("中"));

  open(input("a\r\nb\nc\r\n"));
  QTest::keyClick(content(), Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(content(), Qt::Key_Delete);
  QTest::keyClicks(content(), QStringLiteral("A"));
  QTest::keyClick(content(), Qt::Key_Return);
  button("按钮确定")->click();
  EXPECT_EQ(dialog().resultText(), "A\r\n\r\nb\nc\r\n");
}

TEST_F(TextDialogTest, UnchangedContentClosesWithoutAsking) {
  open(input("start"));
  EXPECT_TRUE(dialog().close());
}

TEST_F(TextDialogTest, CancelClosesWithoutAsking) {
  open(input("start"));
  QTest::keyClicks(content(), QStringLiteral("x"));
  button("按钮取消")->click();
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_FALSE(dialog().accepted());
}

TEST_F(TextDialogTest, ClearPasteAndRestore) {
  open(input("start"));
  button("按钮清空")->click();
  EXPECT_EQ(content()->toPlainText(), QString());
  QGuiApplication::clipboard()->setText(QStringLiteral("粘贴的"));
  button("按钮粘贴")->click();
  EXPECT_EQ(content()->toPlainText(), QStringLiteral("粘贴的"));
  button("按钮恢复")->click();
  EXPECT_EQ(content()->toPlainText(), QStringLiteral("start"));
}

TEST_F(TextDialogTest, RestoreWithoutAnInitialTextSaysSo) {
  open(input(""));
  QTest::keyClicks(content(), QStringLiteral("typed"));
  QString said;
  AnswerNextMessageBox(QStringLiteral("确定"), &said);
  button("按钮恢复")->click();
  EXPECT_EQ(said, QStringLiteral("启动值为空！"));
  EXPECT_EQ(content()->toPlainText(), QStringLiteral("typed"));
}

TEST_F(TextDialogTest, FileButtonsShowAsAsked) {
  for (int which = 0; which <= 3; ++which) {
    TextDialogParams params = input();
    params.fileButtons = which;
    open(params);
    EXPECT_EQ(button("按钮文件")->isVisible(), which == 1 || which == 3) << which;
    EXPECT_EQ(button("按钮文件名")->isVisible(), which == 2 || which == 3) << which;
  }
}

class ImportTest : public TextDialogTest {
 public:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    first_ = write("一.txt", QByteArray("\xD6\xD0\xCE\xC4 one"));  // 中文 in the code page
    second_ = write("two.txt", QByteArray("two\0hidden", 10));
    TextDialogParams params = input("head\r\n");
    params.fileButtons = kBothFileButtons;
    open(params);
    dialog().setFileChooser([this](QWidget*, const QString& title, const QString& filter) {
      titles_ << title;
      filters_ << filter;
      return chosen_;
    });
  }
  QString write(const char* name, const QByteArray& bytes) {
    const QString path = folder_.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  std::string result() {
    button("按钮确定")->click();
    return dialog().resultText();
  }

  QTemporaryDir folder_;
  QString first_, second_;
  QStringList chosen_, titles_, filters_;
};

TEST_F(ImportTest, PathsAreAppendedEachOnItsLine) {
  chosen_ = {first_, second_};
  button("按钮文件名")->click();
  ASSERT_EQ(titles_.size(), 1);
  EXPECT_EQ(titles_[0], QStringLiteral("选择多个文件，将导入其文件路径"));
  EXPECT_EQ(filters_[0],
            QStringLiteral("文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)"));
  EXPECT_EQ(result(), "head\r\n" + FromQString(first_) + "\r\n" + FromQString(second_) + "\r\n");
}

TEST_F(ImportTest, ContentsAreAppendedAsTheirBytesUpToAZero) {
  chosen_ = {first_, second_, folder_.filePath(QStringLiteral("missing.txt"))};
  button("按钮文件")->click();
  ASSERT_EQ(titles_.size(), 1);
  EXPECT_EQ(titles_[0], QStringLiteral("选择多个文件，将导入其文件内容"));
  EXPECT_EQ(result(), "head\r\n\xD6\xD0\xCE\xC4 one\r\ntwo\r\n\r\n");
}

TEST_F(ImportTest, ImportedBytesComeBackAsTheyWere) {
  // LF lines, a lone CR, bytes that are no character, a four-byte character.
  const QByteArray odd("l1\nl2\rl3\x81\x20\xFF\x82\x38\x82\x39 end", 19);
  chosen_ = {write("odd.txt", odd)};
  button("按钮文件")->click();
  EXPECT_EQ(result(), "head\r\n" + odd.toStdString() + "\r\n");
}

TEST_F(ImportTest, TypingAfterAnImportKeepsTheImportedBytes) {
  chosen_ = {write("lf.txt", QByteArray("a\nb\xFF\n"))};
  button("按钮文件")->click();
  QTest::keyClick(content(), Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClicks(content(), QStringLiteral("x"));
  EXPECT_EQ(result(), "xhead\r\na\nb\xFF\n\r\n");
}

TEST_F(ImportTest, CancellingTheFileDialogChangesNothing) {
  button("按钮文件")->click();
  EXPECT_EQ(titles_.size(), 1);
  EXPECT_EQ(content()->toPlainText(), QStringLiteral("head\n"));
  EXPECT_TRUE(dialog().close());  // nothing changed, nothing asked
}

TEST_F(TextDialogTest, PromptHeightCountsTwelvePixelRows) {
  // 395 pixels hold 65 characters of 6 pixels.
  EXPECT_EQ(TextDialog::PromptHeight("a\r\nb\r\nc", 395), 36);
  EXPECT_EQ(TextDialog::PromptHeight("", 395), 12);
  EXPECT_EQ(TextDialog::PromptHeight(std::string(65, 'x'), 395), 12);
  EXPECT_EQ(TextDialog::PromptHeight(std::string(131, 'x'), 395), 36);
  EXPECT_EQ(TextDialog::PromptHeight(std::string(131, 'x') + "\r\n\r\nz", 395), 60);
  EXPECT_EQ(TextDialog::PromptHeight("abc", 3), 36);  // narrower than a character
}

TEST_F(TextDialogTest, LayoutFollowsTheSizeAndTheMargin) {
  TextDialogParams params = input();
  params.prompt = Gb("第一行\r\n第二行");
  params.margin = 7;
  open(params);
  const int cw = dialog().width();
  const int ch = dialog().height();
  EXPECT_EQ(QSize(cw, ch), QSize(TextDialog::kDesignWidth, TextDialog::kDesignHeight));
  EXPECT_EQ(widget("编辑框提示")->geometry(), QRect(7, 7, cw - 14, 24));
  EXPECT_EQ(widget("编辑框正文")->geometry(), QRect(7, 38, cw - 14, ch - 38 - 34));
  EXPECT_EQ(widget("外形框")->geometry(), QRect(7, ch - 34, 336, 34));
  EXPECT_EQ(button("按钮取消")->geometry(), QRect(cw - 7 - 64, ch - 34 + 5, 64, 24));
  EXPECT_EQ(button("按钮确定")->geometry(), QRect(cw - 7 - 128, ch - 34 + 5, 64, 24));
  dialog().resize(700, 500);
  EXPECT_EQ(widget("编辑框正文")->geometry(), QRect(7, 38, 686, 500 - 38 - 34));
  EXPECT_EQ(button("按钮取消")->pos(), QPoint(700 - 71, 500 - 29));
}

TEST_F(TextDialogTest, AGivenContentSizeSetsTheWindowSizeAndCentresIt) {
  TextDialogParams params = input();
  params.width = 600;
  params.height = 300;
  open(params);
  // 600 + 2 x 5; the prompt box's design height 33 + 2 x 5 + 300 + 3 x 5 + 24.
  EXPECT_EQ(dialog().size(), QSize(610, 382));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(dialog().pos(), QPoint(static_cast<int>(screen.width() / 2.0 - 305),
                                   static_cast<int>((screen.height() - 30) / 2.0 - 191)));
}

TEST_F(TextDialogTest, BothScrollBarsStopTheWrapping) {
  TextDialogParams params = input();
  params.bothScrollBars = true;
  open(params);
  EXPECT_EQ(content()->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(content()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(content()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(OpenTextDialogTest, ReturnsTheTextOnOkAndRefusesASecondDialog) {
  std::string result = "untouched";
  bool secondOpened = true;
  OnNextModal([&](QWidget* modal) {
    std::string ignored;
    secondOpened = OpenTextDialog(MakeTextDialogParams("b", DialogMode::kInput), nullptr, &ignored);
    modal->findChild<QPushButton*>(QStringLiteral("按钮确定"))->click();
  });
  EXPECT_TRUE(OpenTextDialog(MakeTextDialogParams("a", DialogMode::kInput), nullptr, &result));
  EXPECT_FALSE(secondOpened);
  EXPECT_EQ(result, "a");
  // Cancelled: the result is left alone.
  OnNextModal(
      [](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("按钮取消"))->click(); });
  EXPECT_FALSE(OpenTextDialog(MakeTextDialogParams("c", DialogMode::kInput), nullptr, &result));
  EXPECT_EQ(result, "a");
}

TEST(FileFilterTest, PlatformFiltersBecomeQtFilters) {
  EXPECT_EQ(ToQtFileFilter("文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*"),
            QStringLiteral("文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)"));
  EXPECT_EQ(ToQtFileFilter("JSON|*.json"), QStringLiteral("JSON (*.json)"));
  EXPECT_EQ(ToQtFileFilter(""), QString());
  EXPECT_EQ(ToQtFileFilter("dangling"), QString());
}

}  // namespace
}  // namespace keelnode
