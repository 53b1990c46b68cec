// Opening and closing many tree items at once, from the tree's menu and the
// keys, on the window itself.
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <set>
#include <string>

#include "viewer/tree_expansion.h"
#include "window_fixture.h"

namespace keelnode {
namespace {

// 0 JSON, 1 a, 2 b, 3 [1]:1, 4 [2], 5 c:2, 6 d:3, 7 e, 8 [1]:4, 9 [2],
// 10 [1]:5, 11 [2], 12 [1]:6
constexpr char kDocument[] = R"({"a":{"b":[1,{"c":2}],"d":3},"e":[4,[5,[6]]]})";
const std::set<int> kContainers = {0, 1, 2, 4, 7, 9, 11};

class ExpandCommandsTest : public testing::WindowTest {
 public:
  std::set<int> expanded() {
    std::set<int> open;
    for (int item = 0; item < tree()->itemCount(); ++item) {
      if (tree()->isExpanded(tree()->items().indexOfItem(item))) open.insert(item);
    }
    return open;
  }
  QAction* command(QMenu* menu, const QString& caption) {
    for (QAction* action : menu->actions()) {
      if (action->text() == caption) return action;
    }
    return nullptr;
  }
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(tree(), key, modifiers);
  }
};

TEST_F(ExpandCommandsTest, MenuEntriesCarryTheirKeys) {
  QMenu* menu = find<QMenu>("树菜单");
  QAction* all = command(menu, QStringLiteral("展开全部子项"));
  QAction* none = command(menu, QStringLiteral("全部折叠"));
  QAction* toLevel = command(menu, QStringLiteral("展开到"));
  ASSERT_TRUE(all && none && toLevel && toLevel->menu());
  EXPECT_EQ(all->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus));
  EXPECT_EQ(none->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus));
  const QList<QAction*> levels = toLevel->menu()->actions();
  ASSERT_EQ(levels.size(), 5);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(levels[k]->text(), QStringLiteral("展开到第%1层").arg(k + 1));
    EXPECT_EQ(levels[k]->shortcut(), QKeySequence(Qt::ALT | (Qt::Key_1 + k)));
  }
}

TEST_F(ExpandCommandsTest, ExpandAllOpensOnlyTheCurrentSubtree) {
  paste(kDocument);
  ASSERT_EQ(tree()->itemCount(), 13);
  EXPECT_EQ(expanded(), std::set<int>{0});
  tree()->setCurrentItem(1);
  key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(expanded(), (std::set<int>{0, 1, 2, 4}));
  EXPECT_EQ(tree()->currentItem(), 1);
  // The same from the key without Shift's sign, on the root: everything.
  tree()->setCurrentItem(0);
  key(Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(expanded(), kContainers);
  // Laid out: the deepest item has a place on the screen.
  tree()->setCurrentItem(12);
  EXPECT_TRUE(tree()->visualRect(tree()->items().indexOfItem(12)).isValid());
}

TEST_F(ExpandCommandsTest, CollapseAllLeavesTheRootAloneAndCurrent) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
  tree()->setCurrentItem(12);
  key(Qt::Key_Minus, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(expanded(), std::set<int>{});
  EXPECT_EQ(tree()->currentItem(), 0);
  EXPECT_EQ(find<QLineEdit>("编辑框路径")->text(), QString());
}

TEST_F(ExpandCommandsTest, ExpandToLevelClosesWhatLiesDeeper) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  window().expandAllUnderCurrent();
  tree()->setCurrentItem(5);  // c:2, on level 5
  const struct {
    Qt::Key key;
    std::set<int> open;
    int current;  // the nearest shown ancestor of c:2
  } cases[] = {
      {Qt::Key_3, {0, 1, 2, 7, 9}, 4},
      {Qt::Key_1, {0}, 1},
      {Qt::Key_2, {0, 1, 7}, 1},
      {Qt::Key_5, kContainers, 1},
  };
  for (const auto& c : cases) {
    key(c.key, Qt::AltModifier);
    EXPECT_EQ(expanded(), c.open) << c.key;
    EXPECT_EQ(tree()->currentItem(), c.current) << c.key;
  }
  // Item 4 is shown again and can be current without opening anything.
  tree()->setCurrentItem(4);
  key(Qt::Key_4, Qt::AltModifier);
  EXPECT_EQ(expanded(), kContainers);
  EXPECT_EQ(tree()->currentItem(), 4);
}

std::string WideDocument(int objects, int members) {
  std::string json = "[";
  for (int k = 0; k < objects; ++k) {
    json += k ? ",{" : "{";
    for (int m = 0; m < members; ++m)
      json += (m ? ",\"" : "\"") + std::to_string(m) +
              "\":\"https://例子.cn/q?a=1&b=" + std::to_string(k) + "\"";
    json += "}";
  }
  return json + "]";
}

TEST_F(ExpandCommandsTest, TooManyRowsAreRefusedWithAMessageAndNothingChanges) {
  window().setMaxRowsShown(2000);
  // 10 objects of 210 members: 2 110 rows below the root.
  paste(WideDocument(10, 210));
  ASSERT_EQ(tree()->itemCount(), 1 + 10 + 2100);
  tree()->setCurrentItem(0);
  QString text;
  testing::AnswerNextMessageBox(QStringLiteral("确定"), &text);
  EXPECT_FALSE(window().expandAllUnderCurrent());
  EXPECT_EQ(text, QStringLiteral("要展开的行太多（2110 行），一次最多展开 2000 行，"
                                 "请在较小的分支上展开。"));
  EXPECT_EQ(expanded(), std::set<int>{0});
  // Opening one branch, or the top levels, is within reach.
  tree()->setCurrentItem(1);
  EXPECT_TRUE(window().expandAllUnderCurrent());
  EXPECT_TRUE(window().expandToLevel(1));
  EXPECT_EQ(expanded(), std::set<int>{0});
}

TEST(TreeExpansionPlanTest, ADeepChainOpensAThousandLevelsAtATime) {
  TreeItemModel model;
  std::string block;
  for (int depth = 1; depth <= 5000; ++depth)
    block += testing::Record("[1]", 2, 0, depth);
  model.setBlock(block);
  const ExpansionPlan plan = PlanSubtree(model, 0, 1000);
  ASSERT_EQ(plan.items.size(), 1001u);
  EXPECT_EQ(plan.items.back(), 1000);
  EXPECT_EQ(plan.rowsShown, 1001);
  // From item 4 000 on, the rest of the chain (its last item has no children).
  EXPECT_EQ(PlanSubtree(model, 4000, 1000).items.size(), 999u);
  EXPECT_EQ(PlanToLevel(model, 5).items.size(), 5u);
}

}  // namespace
}  // namespace keelnode
