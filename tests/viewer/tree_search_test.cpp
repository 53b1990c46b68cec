// Searching the current tree: modes, directions, wrap-around, not found.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "window_fixture.h"

namespace keelnode {
namespace {

// 0 root, 1 Alpha:1, 2 beta:"two", 3 gamma, 4 [1]:1, 5 [2]:2, 6 alphabet:"xyz"
constexpr char kDocument[] = R"({"Alpha":1,"beta":"two","gamma":[1,2],"alphabet":"xyz"})";

class TreeSearchTest : public testing::WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    window().setNotFoundPause(20);
    paste(kDocument);
    ASSERT_EQ(tree()->itemCount(), 7);
  }
  void search(const char* text, const char* mode = "单选框默认", bool ignoreCase = false) {
    find<QLineEdit>("编辑框查找文本")->setText(QString::fromUtf8(text));
    find<QRadioButton>(mode)->setChecked(true);
    find<QCheckBox>("选择框忽略大小写")->setChecked(ignoreCase);
  }
  // Clicks 下一个 (or 上一个) and returns the current item afterwards.
  int next() {
    click("按钮下一个");
    return tree()->currentItem();
  }
  int previous() {
    click("按钮上一个");
    return tree()->currentItem();
  }
  QString caption(const char* button) { return find<QPushButton>(button)->text(); }
};

TEST_F(TreeSearchTest, PlainSearchGoesForwardAndWrapsAround) {
  search("alpha");
  EXPECT_EQ(next(), 6);  // "Alpha" differs in case
  EXPECT_EQ(next(), 6);  // the only match: the second pass finds it again
  search("alpha", "单选框默认", true);
  EXPECT_EQ(next(), 1);  // wrapped around past the end
  EXPECT_EQ(next(), 6);
  EXPECT_EQ(caption("按钮下一个"), QStringLiteral("下一个"));
  EXPECT_TRUE(tree()->hasFocus());
}

TEST_F(TreeSearchTest, BackwardSearchWrapsFromTheEnd) {
  search("a", "单选框默认", true);
  tree()->setCurrentItem(0);
  EXPECT_EQ(previous(), 6);  // nothing before the root: from the last item
  EXPECT_EQ(previous(), 3);
  EXPECT_EQ(previous(), 2);
  EXPECT_EQ(previous(), 1);
  EXPECT_EQ(caption("按钮上一个"), QStringLiteral("上一个"));
}

TEST_F(TreeSearchTest, WithoutACurrentItemTheWholeTreeIsSearched) {
  ASSERT_EQ(tree()->currentItem(), -1);
  search("[2]");
  EXPECT_EQ(next(), 5);
  tree()->clearSelection();
  tree()->setCurrentIndex({});
  EXPECT_EQ(previous(), 5);
}

TEST_F(TreeSearchTest, RightButtonOnNextSearchesBackward) {
  search("a", "单选框默认", true);
  tree()->setCurrentItem(6);
  QTest::mousePress(find<QWidget>("按钮下一个"), Qt::RightButton);
  EXPECT_EQ(tree()->currentItem(), 3);
}

TEST_F(TreeSearchTest, NotFoundShowsOnTheButtonOfTheDirection) {
  window().setNotFoundPause(300);
  search("nowhere");
  tree()->setCurrentItem(2);
  QString previousDuring, nextDuring;
  QTimer::singleShot(100, &window(), [&] {
    previousDuring = caption("按钮上一个");
    nextDuring = caption("按钮下一个");
  });
  // Started from 下一个's right button: the backward button shows it.
  QTest::mousePress(find<QWidget>("按钮下一个"), Qt::RightButton);
  EXPECT_EQ(previousDuring, QStringLiteral("找不到"));
  EXPECT_EQ(nextDuring, QStringLiteral("下一个"));
  EXPECT_EQ(caption("按钮上一个"), QStringLiteral("上一个"));
  EXPECT_EQ(tree()->currentItem(), 2);
}

TEST_F(TreeSearchTest, TheNotFoundPauseLastsHalfASecondByDefault) {
  window().setNotFoundPause(500);
  search("nowhere");
  QElapsedTimer waited;
  waited.start();
  EXPECT_EQ(next(), -1);
  EXPECT_GE(waited.elapsed(), 500);
}

TEST_F(TreeSearchTest, AnEmptyPlainTextFindsNothing) {
  search("");
  tree()->setCurrentItem(2);
  EXPECT_EQ(next(), 2);
  EXPECT_EQ(previous(), 2);
}

TEST_F(TreeSearchTest, WildcardsMatchSomewhereInTheLabel) {
  search("b*t", "单选框通配");
  EXPECT_EQ(next(), 2);  // beta:"two"
  EXPECT_EQ(next(), 6);  // alphabet
  search("t?o", "单选框通配");
  EXPECT_EQ(next(), 2);  // "two"
  search("x?y", "单选框通配");
  EXPECT_EQ(next(), 6);  // "?" also stands for nothing: "xy"
  search("gamma|beta", "单选框通配");
  tree()->setCurrentItem(0);
  EXPECT_EQ(next(), 2);  // a bar keeps its meaning of alternation
}

TEST_F(TreeSearchTest, PatternsAreRegularExpressions) {
  search(R"(^\[\d\]:2$)", "单选框正则");
  EXPECT_EQ(next(), 5);
  search("^ALPHA", "单选框正则", true);
  tree()->setCurrentItem(1);
  EXPECT_EQ(next(), 6);
  search("^ALPHA", "单选框正则", false);
  EXPECT_EQ(next(), 6);  // not found: the tree stays where it was
  search("([", "单选框正则");
  EXPECT_EQ(next(), 6);
}

TEST_F(TreeSearchTest, AnEmptyTreeFindsNothing) {
  find<QTabWidget>("选择夹")->setCurrentIndex(4);
  search("a");
  EXPECT_EQ(next(), -1);
  EXPECT_EQ(caption("按钮下一个"), QStringLiteral("下一个"));
}

TEST_F(TreeSearchTest, SearchRunsOnTheCurrentTabOnly) {
  find<QTabWidget>("选择夹")->setCurrentIndex(1);
  paste(R"({"x":1,"alpha":2})");
  search("alpha");
  EXPECT_EQ(next(), 2);
  EXPECT_EQ(window().tree(1)->currentItem(), -1);
}

TEST_F(TreeSearchTest, PasteButtonFillsTheSearchText) {
  setClipboard("城市");
  click("按钮粘贴");
  EXPECT_EQ(find<QLineEdit>("编辑框查找文本")->text(), QStringLiteral("城市"));
}

TEST_F(TreeSearchTest, DoubleClickCopiesTheItemTextIntoTheSearchBox) {
  const QModelIndex beta = tree()->items().indexOfItem(2);
  QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(beta).center());
  EXPECT_EQ(find<QLineEdit>("编辑框查找文本")->text(), QStringLiteral("beta:\"two\""));
}

}  // namespace
}  // namespace keelnode

namespace keelnode {
namespace {

// Labels of millions of characters, and an expression that runs away.
class LongLabelSearchTest : public testing::WindowTest {};

TEST_F(LongLabelSearchTest, RepeatedGroupsMatchAndARunawaySaysSo) {
  window().setNotFoundPause(20);
  // 0 root, 1 long:"xx…xz", 2 runaway:"aa…ab", 3 short:"aaa"
  paste("{\"long\":\"" + std::string(5'000'000, 'x') + "z\",\"runaway\":\"" +
        std::string(50'000, 'a') + "b\",\"short\":\"aaa\"}");
  ASSERT_EQ(tree()->itemCount(), 4);
  find<QLineEdit>("编辑框查找文本")->setText(QStringLiteral("(x|y)+z"));
  find<QRadioButton>("单选框正则")->setChecked(true);
  click("按钮下一个");
  EXPECT_EQ(tree()->currentItem(), 1);

  // (a+)+ before the closing quote backtracks without end on item 2.
  find<QLineEdit>("编辑框查找文本")->setText(QStringLiteral("(a+)+\"$"));
  QString said;
  testing::AnswerNextMessageBox(QStringLiteral("确定"), &said);
  click("按钮下一个");
  EXPECT_EQ(said, QStringLiteral("表达式过于复杂，搜索已中止"));
  EXPECT_EQ(tree()->currentItem(), 1);  // it stays, as with nothing found
  EXPECT_EQ(find<QPushButton>("按钮下一个")->text(), QStringLiteral("下一个"));
  // From the item after it, the search goes on normally.
  tree()->setCurrentItem(2);
  click("按钮下一个");
  EXPECT_EQ(tree()->currentItem(), 3);
}

}  // namespace
}  // namespace keelnode
