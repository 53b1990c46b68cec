// The path, value and decoded-value boxes, the tree menu and its copies.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "json/item_display.h"
#include "viewer/program_text.h"
#include "window_fixture.h"

namespace keelnode {
namespace {

using testing::Gb;

class SelectionTest : public testing::WindowTest {
 public:
  QString path() { return find<QLineEdit>("编辑框路径")->text(); }
  QString value() { return find<QPlainTextEdit>("编辑框路径数据")->toPlainText(); }
  QString decoded() { return find<QPlainTextEdit>("编辑框路径数据2")->toPlainText(); }
  QMenu* menu() { return find<QMenu>("树菜单"); }
  void choose(int menuItem) { menu()->actions().at(menuItem)->trigger(); }
  QPoint centreOf(int item) {
    return tree()->visualRect(tree()->items().indexOfItem(item)).center();
  }
};

// {"data":[{"name":"x\u4e2d"}],"n":5}: 0 root, 1 data, 2 [1], 3 name, 4 n.
constexpr char kDocument[] = R"({"data":[{"name":"x\u4e2d&lt;"}],"n":5})";

TEST_F(SelectionTest, SelectingAnItemFillsTheThreeBoxes) {
  paste(kDocument);
  ASSERT_EQ(tree()->itemCount(), 5);
  tree()->setCurrentItem(3);
  EXPECT_EQ(path(), QStringLiteral("data.[1].name"));
  EXPECT_EQ(value(), QStringLiteral("x\\u4e2d&lt;"));
  EXPECT_EQ(decoded(), QStringLiteral("x中<"));
  tree()->setCurrentItem(4);
  EXPECT_EQ(path(), QStringLiteral("n"));
  EXPECT_EQ(value(), QStringLiteral("5"));
  EXPECT_EQ(decoded(), QStringLiteral("5"));
}

TEST_F(SelectionTest, ThePathFormFollowsTheArrayNodeOption) {
  paste(kDocument);
  tree()->setCurrentItem(3);
  click("选择框数组独立节点");  // off: the compact form, refreshed at once
  EXPECT_EQ(path(), QStringLiteral("data[1].name"));
  EXPECT_EQ(value(), QStringLiteral("x\\u4e2d&lt;"));
  tree()->setCurrentItem(2);
  EXPECT_EQ(path(), QStringLiteral("data[1]"));
  EXPECT_EQ(value(), QStringLiteral(R"({"name":"x\u4e2d&lt;"})"));
  click("选择框数组独立节点");
  EXPECT_EQ(path(), QStringLiteral("data.[1]"));
  EXPECT_EQ(value(), QStringLiteral(R"({"name":"x\u4e2d&lt;"})"));
}

// The command line prints what ItemTextsOf gives; the window must show the
// same for every item, in both path spellings.
TEST_F(SelectionTest, TheBoxesShowWhatTheCommandLinePrints) {
  paste(R"(cb({"data":[{"name":"x\u4e2d&lt;","url":"https://a.cn/?q=1&x=2",)"
        R"("html":"<b>粗</b>","name":"dup"}],"n":5,"deep":[[{"k":"v"}]],"":[1]});)");
  ASSERT_EQ(tree()->itemCount(), 14);
  for (const bool arrayNodes : {true, false}) {
    if (find<QCheckBox>("选择框数组独立节点")->isChecked() != arrayNodes)
      click("选择框数组独立节点");
    const PathSpelling spelling = arrayNodes ? PathSpelling::kArrayNodes : PathSpelling::kCompact;
    for (int item = 0; item < tree()->itemCount(); ++item) {
      tree()->setCurrentItem(item);
      const ItemTexts texts = ItemTextsOf(window().currentDocument(), item + 1, spelling);
      EXPECT_EQ(path().toStdString(), testing::Utf8(texts.path)) << item;
      EXPECT_EQ(value().toStdString(), testing::Utf8(texts.value)) << item;
      EXPECT_EQ(decoded().toStdString(), testing::Utf8(texts.decoded)) << item;
    }
  }
}

TEST_F(SelectionTest, KeyboardMovesTheSelectionToo) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  tree()->setFocus();
  QTest::keyClick(tree(), Qt::Key_Down);
  EXPECT_EQ(tree()->currentItem(), 1);
  EXPECT_EQ(path(), QStringLiteral("data"));
}

TEST_F(SelectionTest, TheRootShowsTheWholeDocument) {
  paste(R"({ "a" : [1, 2] })");
  tree()->setCurrentItem(0);
  EXPECT_EQ(path(), QString());
  EXPECT_EQ(FromQString(value()), window().document(1).valueAtPath("", 0));
  EXPECT_TRUE(value().contains(QStringLiteral("[1, 2]")) ||
              value().contains(QStringLiteral("[1,2]")));
}

TEST_F(SelectionTest, RightButtonMakesTheItemCurrentThenShowsTheMenu) {
  paste(kDocument);
  tree()->setCurrentItem(4);
  QTest::mousePress(tree()->viewport(), Qt::RightButton, {}, centreOf(1));
  EXPECT_EQ(tree()->currentItem(), 1);
  EXPECT_EQ(path(), QStringLiteral("data"));
  EXPECT_TRUE(menu()->isVisible());
  menu()->hide();
  // Right button below the last item: nothing happens.
  QTest::mousePress(tree()->viewport(), Qt::RightButton, {},
                    QPoint(5, tree()->viewport()->height() - 2));
  EXPECT_EQ(tree()->currentItem(), 1);
  EXPECT_FALSE(menu()->isVisible());
}

TEST_F(SelectionTest, MenuCopiesTheBoxes) {
  paste(kDocument);
  tree()->setCurrentItem(3);
  choose(0);
  EXPECT_EQ(clipboard(), QStringLiteral("data.[1].name"));
  choose(1);
  EXPECT_EQ(clipboard(), QStringLiteral("x\\u4e2d&lt;"));
  choose(2);
  EXPECT_EQ(clipboard(), QStringLiteral("x中<"));
}

TEST_F(SelectionTest, CopiesOfEmptyBoxesLeaveAnEmptyText) {
  setClipboard("something");
  choose(0);
  EXPECT_EQ(clipboard(), QString());
  setClipboard("something");
  choose(2);
  EXPECT_EQ(clipboard(), QString());
}

TEST_F(SelectionTest, CopiesTakeWhatTheUserTypedIntoABox) {
  paste(kDocument);
  tree()->setCurrentItem(3);
  auto* pathBox = find<QLineEdit>("编辑框路径");
  pathBox->selectAll();
  QTest::keyClicks(pathBox, QStringLiteral("n"));
  choose(0);
  EXPECT_EQ(clipboard(), QStringLiteral("n"));
  auto* valueBox = find<QPlainTextEdit>("编辑框路径数据");
  valueBox->setFocus();
  QTest::keyClick(valueBox, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(valueBox, Qt::Key_Return);
  QTest::keyClicks(valueBox, QStringLiteral("y"));
  choose(1);
  EXPECT_EQ(clipboard(), QStringLiteral("x\\u4e2d&lt;\r\ny"));
}

TEST_F(SelectionTest, TheReadButtonLooksUpATypedPath) {
  paste(kDocument);
  auto* pathBox = find<QLineEdit>("编辑框路径");
  pathBox->setText(QStringLiteral("data.[1].name"));
  find<QPushButton>("按钮读取")->click();
  EXPECT_EQ(value(), QStringLiteral("x\\u4e2d&lt;"));
  click("选择框数组独立节点");  // compact form from now on
  pathBox->setText(QStringLiteral("data[1].name"));
  find<QPushButton>("按钮读取")->click();
  EXPECT_EQ(decoded(), QStringLiteral("x中<"));
  pathBox->setText(QStringLiteral("data[7]"));
  find<QPushButton>("按钮读取")->click();
  EXPECT_EQ(value(), QString());
}

TEST_F(SelectionTest, AHugeValueIsShownInPartButCopiedWhole) {
  const std::string big(3 << 20, 'v');
  paste(R"({"big":")" + big + R"("})");
  tree()->setCurrentItem(1);
  auto* valueBox = find<QPlainTextEdit>("编辑框路径数据");
  EXPECT_LT(valueBox->toPlainText().size(), 1 << 20);
  EXPECT_TRUE(valueBox->isReadOnly());
  choose(1);
  EXPECT_EQ(clipboard().size(), static_cast<qsizetype>(big.size()));
  tree()->setCurrentItem(0);
  tree()->setCurrentItem(1);
  // A short value makes the box editable again.
  paste(R"({"small":1})");
  tree()->setCurrentItem(1);
  EXPECT_FALSE(valueBox->isReadOnly());
  EXPECT_EQ(valueBox->toPlainText(), QStringLiteral("1"));
}

TEST_F(SelectionTest, ALongValueDecodesItsBeginningAndCopiesTheWholeDecoded) {
  std::string items;
  int count = 0;
  for (; items.size() < (1 << 20); ++count)
    items += R"("u?a=1&b=2&lt;\u4e2d",)";
  paste("{\"list\":[" + items + "\"end\"]}");
  tree()->setCurrentItem(1);
  EXPECT_TRUE(value().startsWith(QStringLiteral(R"(["u?a=1&b=2&lt;\u4e2d",)")));
  EXPECT_TRUE(decoded().startsWith(QStringLiteral(R"(["u?a=1&b=2<中","u?a=1&b=2<中",)")));
  EXPECT_LT(decoded().size(), 1 << 20);
  choose(2);
  const QString whole = clipboard();
  EXPECT_TRUE(whole.endsWith(QStringLiteral(R"("u?a=1&b=2<中","end"])")));
  EXPECT_EQ(whole.count(QStringLiteral("&b=2<中")), count);
  choose(1);
  EXPECT_EQ(clipboard().size(), static_cast<qsizetype>(items.size() + 7));
}

TEST_F(SelectionTest, ARestoredSelectionFillsTheBoxes) {
  std::string text = kDocument;
  window().loadTab(text, true, 1, 3, true);
  EXPECT_EQ(tree()->currentItem(), 3);
  EXPECT_EQ(path(), QStringLiteral("data.[1].name"));
  EXPECT_EQ(decoded(), QStringLiteral("x中<"));
}

TEST_F(SelectionTest, APathWithBytesOutsideTheCodePageStillResolves) {
  // The name's bytes are not valid GB18030; the box shows a replacement
  // character but looks up the name's own bytes.
  std::string text = "{\"\x81\x20\":7}";
  window().loadTab(text, true, 1, 1, true);
  EXPECT_EQ(value(), QStringLiteral("7"));
  find<QPushButton>("按钮读取")->click();
  EXPECT_EQ(value(), QStringLiteral("7"));
}

}  // namespace
}  // namespace keelnode
