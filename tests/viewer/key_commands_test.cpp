// Keys of the main window: find, find again, tabs, copy and paste in a
// tree, and Left to the parent.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <map>

#include "window_fixture.h"

namespace keelnode {
namespace {

// 0 JSON, 1 data, 2 [1], 3 url, 4 html, 5 [2], 6 url, 7 名字
constexpr char kDocument[] =
    R"({"data":[{"url":"https://例子.cn/q?a=1&b=2","html":"<b>\u4e2d</b>"},)"
    R"({"url":"https://例子.cn/q?a=3&b=4"}],"名字":"岚溪"})";

class KeyCommandsTest : public testing::WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    paste(kDocument);
    ASSERT_EQ(tree()->itemCount(), 8);
    focusTree();
  }
  void focusTree() {
    tree()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), tree());
  }
  // Keys go where the focus is, as they do from a keyboard.
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  QLineEdit* searchText() { return find<QLineEdit>("编辑框查找文本"); }
};

TEST_F(KeyCommandsTest, EveryKeyOfTheWindowHasOneCommand) {
  std::map<QString, QString> owner;  // keys -> caption
  QList<QAction*> actions = window().actions();
  actions += tree()->actions();
  for (QAction* action : actions) {
    for (const QKeySequence& keys : action->shortcuts()) {
      const auto [at, added] = owner.emplace(keys.toString(), action->text());
      EXPECT_TRUE(added || at->second == action->text())
          << keys.toString().toStdString() << ": " << at->second.toStdString() << ", "
          << action->text().toStdString();
    }
  }
  const std::map<QString, QString> expected = {
      {"Ctrl+C", "复制路径数据"}, {"Ctrl+Shift+C", "复制路径"},
      {"Ctrl+V", "粘贴到当前树"}, {"Ctrl+F", "查找文本"},
      {"F3", "查找下一个"},       {"Shift+F3", "查找上一个"},
      {"Ctrl+1", "JSON树"},       {"Ctrl+7", "树7"},
  };
  for (const auto& [keys, caption] : expected)
    EXPECT_EQ(owner[keys], caption) << keys.toStdString();
  // Each is in the tree's menu too.
  QStringList captions;
  for (QAction* action : find<QMenu>("树菜单")->actions()) {
    captions << action->text();
    if (action->menu()) {
      for (QAction* inner : action->menu()->actions())
        captions << inner->text();
    }
  }
  for (const auto& [keys, caption] : owner)
    EXPECT_TRUE(captions.contains(caption)) << caption.toStdString();
}

TEST_F(KeyCommandsTest, CtrlFThenF3FindsForwardAndShiftF3Backward) {
  key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), searchText());
  EXPECT_EQ(searchText()->selectedText(), searchText()->text());
  QTest::keyClicks(searchText(), QStringLiteral("&b="));
  EXPECT_EQ(searchText()->text(), QStringLiteral("&b="));
  key(Qt::Key_F3);
  EXPECT_EQ(tree()->currentItem(), 3);
  key(Qt::Key_F3);  // the search hands the focus to the tree
  EXPECT_EQ(tree()->currentItem(), 6);
  key(Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(tree()->currentItem(), 3);
}

TEST_F(KeyCommandsTest, CtrlDigitsSwitchTabs) {
  for (int tab : {3, 7, 1, 2}) {
    key(static_cast<Qt::Key>(Qt::Key_0 + tab), Qt::ControlModifier);
    EXPECT_EQ(window().currentTabNumber(), tab);
  }
  key(Qt::Key_8, Qt::ControlModifier);
  EXPECT_EQ(window().currentTabNumber(), 2);
}

TEST_F(KeyCommandsTest, CopyAndPasteKeysWorkOnTheTreeAndLeaveTheBoxesTheirOwn) {
  tree()->setCurrentItem(4);
  key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard(), QStringLiteral("<b>\\u4e2d</b>"));
  key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(clipboard(), QStringLiteral("data.[1].html"));

  // Into the current tab, here the second one.
  key(Qt::Key_2, Qt::ControlModifier);
  focusTree();
  setClipboard(R"({"x":[1,2,3]})");
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(tree()->itemCount(), 5);
  EXPECT_EQ(window().tree(1)->itemCount(), 8);

  // In the search box the keys are the box's.
  searchText()->setFocus();
  searchText()->setText(QStringLiteral("abc"));
  searchText()->selectAll();
  key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard(), QStringLiteral("abc"));
  setClipboard("[9]");
  searchText()->end(false);
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(searchText()->text(), QStringLiteral("abc[9]"));
  EXPECT_EQ(tree()->itemCount(), 5);
}

TEST_F(KeyCommandsTest, LeftGoesFromAChildToItsParent) {
  tree()->setCurrentItem(6);  // url under the closed [2]: opened by going there
  key(Qt::Key_Left);
  EXPECT_EQ(tree()->currentItem(), 5);
  // An open item closes first, then goes up.
  ASSERT_TRUE(tree()->isExpanded(tree()->items().indexOfItem(5)));
  key(Qt::Key_Left);
  EXPECT_EQ(tree()->currentItem(), 5);
  EXPECT_FALSE(tree()->isExpanded(tree()->items().indexOfItem(5)));
  key(Qt::Key_Left);
  EXPECT_EQ(tree()->currentItem(), 1);
  key(Qt::Key_Left);
  key(Qt::Key_Left);
  EXPECT_EQ(tree()->currentItem(), 0);
}

}  // namespace
}  // namespace keelnode
