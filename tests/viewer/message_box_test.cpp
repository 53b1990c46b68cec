#include "viewer/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::Gb;
using testing::OnNextModal;

struct Seen {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
  bool onTop = false;
};

// Shows a message box, records what it looks like, presses `press`.
int Show(const char* utf8, int style, const char* caption, const QString& press, Seen* seen) {
  OnNextModal([press, seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen->title = box->windowTitle();
    seen->text = box->text();
    seen->icon = box->icon();
    seen->onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (box->defaultButton()) seen->defaultButton = box->defaultButton()->text();
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* button : box->buttons()) {
      seen->buttons << button->text();
      if (button->text() == press) chosen = button;
    }
    ASSERT_NE(chosen, nullptr);
    chosen->click();
  });
  return ShowMessage(Gb(utf8), style, Gb(caption));
}

TEST(MessageBoxTest, PlainMessageHasTheDefaultCaptionAndTheInformationIcon) {
  Seen seen;
  EXPECT_EQ(Show("启动值为空！", kMessageOk, "", QStringLiteral("确定"), &seen), kResultOk);
  EXPECT_EQ(seen.title, QStringLiteral("岚溪："));
  EXPECT_EQ(seen.text, QStringLiteral("启动值为空！"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
  EXPECT_TRUE(seen.onTop);
}

TEST(MessageBoxTest, ButtonSetsAnswerWithTheirNumbers) {
  struct Case {
    int style;
    const char* press;
    int result;
    QStringList buttons;
  };
  const Case cases[] = {
      {kMessageOkCancel, "取消", kResultCancel, {"确定", "取消"}},
      {kMessageAbortRetryIgnore, "中止", kResultAbort, {"中止", "重试", "忽略"}},
      {kMessageAbortRetryIgnore, "重试", kResultRetry, {"中止", "重试", "忽略"}},
      {kMessageAbortRetryIgnore, "忽略", kResultIgnore, {"中止", "重试", "忽略"}},
      {kMessageYesNoCancel, "是", kResultYes, {"是", "否", "取消"}},
      {kMessageYesNo, "否", kResultNo, {"是", "否"}},
      {kMessageRetryCancel, "重试", kResultRetry, {"重试", "取消"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.press);
    Seen seen;
    EXPECT_EQ(Show("?", c.style, "信息：", QString::fromUtf8(c.press), &seen), c.result);
    EXPECT_EQ(seen.title, QStringLiteral("信息："));
    QStringList sorted = seen.buttons;
    QStringList expected = c.buttons;
    sorted.sort();
    expected.sort();
    EXPECT_EQ(sorted, expected);
  }
}

TEST(MessageBoxTest, AskedIconsAndDefaultButtonsAreKept) {
  Seen seen;
  Show("?", kMessageYesNo | kMessageIconQuestion | kMessageDefaultButton2, "", QStringLiteral("是"),
       &seen);
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.defaultButton, QStringLiteral("否"));
  Show("!", kMessageOk | kMessageIconError, "", QStringLiteral("确定"), &seen);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  Show("!", kMessageOk | kMessageIconWarning | kMessageSystemModal, "", QStringLiteral("确定"),
       &seen);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  Show("!", kMessageOkCancel, "", QStringLiteral("确定"), &seen);
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.defaultButton, QStringLiteral("确定"));
}

TEST(MessageBoxTest, EscapeAnswersWithTheCancellingButton) {
  OnNextModal([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->reject(); });
  EXPECT_EQ(ShowMessage("x", kMessageOkCancel), kResultCancel);
  OnNextModal([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->reject(); });
  EXPECT_EQ(ShowMessage("x", kMessageOk), kResultOk);
}

}  // namespace
}  // namespace keelnode
