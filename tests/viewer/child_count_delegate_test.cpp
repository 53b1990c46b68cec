// The number of children painted after a container's label.
#include "viewer/child_count_delegate.h"

#include <QImage>

#include "window_fixture.h"

namespace keelnode {
namespace {

TEST(ChildCountTextTest, ArraysInBracketsObjectsInBracesDigitsGroupedByThree) {
  EXPECT_EQ(ChildCountDelegate::CountText(2, 0), QStringLiteral("[0]"));
  EXPECT_EQ(ChildCountDelegate::CountText(2, 999), QStringLiteral("[999]"));
  EXPECT_EQ(ChildCountDelegate::CountText(2, 1000), QStringLiteral("[1 000]"));
  EXPECT_EQ(ChildCountDelegate::CountText(1, 12), QStringLiteral("{12}"));
  EXPECT_EQ(ChildCountDelegate::CountText(1, 5000000), QStringLiteral("{5 000 000}"));
  EXPECT_EQ(ChildCountDelegate::CountText(0, 0), QString());
}

class ChildCountViewTest : public testing::WindowTest {
 public:
  // Whether anything but the background is painted in the row of `item`
  // right of its label's end.
  bool paintedAfterLabel(int item) {
    const QModelIndex index = tree()->items().indexOfItem(item);
    const QRect row = tree()->visualRect(index);
    const QString label = index.data().toString();
    const int end = row.left() + tree()->iconSize().width() +
                    tree()->fontMetrics().horizontalAdvance(label) + 12;
    const QImage image = tree()->viewport()->grab().toImage();
    const QRgb background = image.pixel(row.right() - 1, row.center().y());
    for (int x = end; x < std::min(row.right(), end + 80); ++x) {
      for (int y = row.top() + 2; y < row.bottom() - 1; ++y) {
        if (image.pixel(x, y) != background) return true;
      }
    }
    return false;
  }
};

TEST_F(ChildCountViewTest, ContainersShowTheirCountButTheLabelsStayAsTheyWere) {
  std::string json = R"({"列表":[)";
  for (int k = 0; k < 1000; ++k)
    json += (k ? "," : "") + std::string(R"("https://例子.cn/q?a=1&b=2")");
  json += R"(],"对象":{"a":"\u4e2d","b":"<p class=\"x\">"},"空":[]})";
  paste(json);
  ASSERT_EQ(tree()->itemCount(), 1 + 1 + 1000 + 1 + 2 + 1);
  const int list = 1, object = 1002, empty = 1005, scalar = 1003;
  EXPECT_EQ(label(list), "列表");
  EXPECT_EQ(label(object), "对象");
  EXPECT_EQ(tree()->items().indexOfItem(list).data().toString(), QStringLiteral("列表"));
  EXPECT_EQ(tree()->items().indexOfItem(scalar).data().toString(),
            QString::fromUtf8(R"(a:"\u4e2d")"));

  // Taken into the row's width, so that a scrolled view reaches it.
  QAbstractItemDelegate* delegate = tree()->itemDelegate();
  QStyleOptionViewItem option;
  option.initFrom(tree());
  QStyledItemDelegate plain;
  const QModelIndex listIndex = tree()->items().indexOfItem(list);
  EXPECT_EQ(delegate->sizeHint(option, listIndex).width(),
            plain.sizeHint(option, listIndex).width() + 6 +
                option.fontMetrics.horizontalAdvance(QStringLiteral("[1 000]")));
  const QModelIndex scalarIndex = tree()->items().indexOfItem(scalar);
  EXPECT_EQ(delegate->sizeHint(option, scalarIndex), plain.sizeHint(option, scalarIndex));

  EXPECT_TRUE(paintedAfterLabel(list));
  EXPECT_TRUE(paintedAfterLabel(object));
  EXPECT_TRUE(paintedAfterLabel(empty));
  tree()->setCurrentItem(object);
  tree()->expandItem(object);
  EXPECT_FALSE(paintedAfterLabel(scalar));
  // The copy takes the label alone.
  tree()->setCurrentItem(list);
  setClipboard("");
  window().copyValue();
  EXPECT_FALSE(clipboard().contains(QStringLiteral("[1 000]")));
}

}  // namespace
}  // namespace keelnode
