// Labels deeper or longer than the tree is wide: the tree scrolls sideways,
// and the current item is brought into view sideways too.
#include <QCoreApplication>
#include <QScrollBar>

#include "window_fixture.h"

namespace keelnode {
namespace {

class WideTreeTest : public testing::WindowTest {
 public:
  QScrollBar* bar() { return tree()->horizontalScrollBar(); }
  // Whether the item's label starts inside the view.
  bool labelStartShown(int item) {
    const QRect rect = tree()->visualRect(tree()->items().indexOfItem(item));
    return rect.isValid() && rect.left() >= 0 && rect.left() < tree()->viewport()->width() &&
           rect.top() >= 0 && rect.bottom() <= tree()->viewport()->height();
  }
};

TEST_F(WideTreeTest, TheCurrentItemIsScrolledIntoViewSideways) {
  // 30 nested objects named 层1..层30, each beside a long sibling value, the
  // last holding a URL.
  std::string json;
  for (int level = 1; level <= 30; ++level)
    json += R"({"说明)" + std::to_string(level) + R"(":"<p>\u4e2d</p>","层)" +
            std::to_string(level) + "\":";
  json += R"("https://例子.cn/q?a=1&b=2")";
  for (int level = 1; level <= 30; ++level)
    json += "}";
  paste(json);
  ASSERT_EQ(tree()->itemCount(), 61);
  tree()->expandAll();
  const int deepest = 60;
  EXPECT_EQ(label(deepest), "层30:\"https://例子.cn/q?a=1&b=2\"");

  tree()->setCurrentItem(deepest);
  EXPECT_GT(bar()->value(), 0);
  EXPECT_TRUE(labelStartShown(deepest));
  // By the keys as well: Up walks to the item above, still scrolled.
  QTest::keyClick(tree(), Qt::Key_Up);
  EXPECT_EQ(tree()->currentItem(), deepest - 1);
  EXPECT_TRUE(labelStartShown(deepest - 1));
  // And back to the top.
  QTest::keyClick(tree(), Qt::Key_Home);
  EXPECT_EQ(tree()->currentItem(), 0);
  EXPECT_EQ(bar()->value(), 0);
}

TEST_F(WideTreeTest, ALongLabelCanBeScrolledToItsEnd) {
  std::string value;
  while (value.size() < 3000)
    value += "https://例子.cn/q?a=1&b=2 ";
  paste(R"({"短":1,"长":")" + value + R"("})");
  const QString shown = tree()->items().indexOfItem(2).data().toString();
  ASSERT_TRUE(shown.endsWith(QStringLiteral("...")));  // cut at 2 000 bytes
  const int labelWidth = tree()->fontMetrics().horizontalAdvance(shown);
  QCoreApplication::processEvents();  // the window lays out the rows it shows
  EXPECT_GT(bar()->maximum(), labelWidth - tree()->viewport()->width());
  EXPECT_GE(tree()->columnWidth(0), labelWidth);
  bar()->setValue(bar()->maximum());
  tree()->setCurrentItem(1);
  EXPECT_EQ(bar()->value(), 0);
}

}  // namespace
}  // namespace keelnode
