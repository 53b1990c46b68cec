// The value viewer window: how it opens, what it shows, find and copies.
#include "viewer/value_viewer.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "json/pretty_printer.h"
#include "viewer/pretty_text_view.h"
#include "viewer/program_text.h"
#include "window_fixture.h"

namespace keelnode {
namespace {

using testing::Gb;
using testing::Utf8;

// 0 root, 1 data, 2 [1], 3 id, 4 name, 5 city, 6 url, 7 [2], 8 id, 9 name, 10 ok,
// 11 total.
constexpr char kDocument[] =
    R"({"data":[{"id":1,"name":"岚溪 \u4e2d","city":"杭州","url":"https://a.example/q?x=1&y=2"},)"
    R"({"id":22,"name":"Tree","ok":true}],"total":2})";

class ValueViewerTest : public testing::WindowTest {
 public:
  std::vector<ValueViewer*> viewers() {
    auto list = window().findChildren<ValueViewer*>();
    return {list.begin(), list.end()};
  }
  // The one open viewer, once its text is shown.
  ValueViewer* openedViewer() {
    const auto open = viewers();
    EXPECT_EQ(open.size(), 1u);
    if (open.size() != 1) return nullptr;
    ValueViewer* viewer = open[0];
    EXPECT_TRUE(QTest::qWaitFor([viewer] { return viewer->isReady(); }, 5000));
    return viewer;
  }
  std::string shownLines(const ValueViewer& viewer) {
    std::string all;
    for (int n = 0; n < viewer.view()->lineCount(); ++n)
      all += Utf8(viewer.view()->line(n)) + "\n";
    return all;
  }
  template <typename Control>
  Control* part(ValueViewer* viewer, const char* name) {
    auto* control = viewer->findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QAction* command(ValueViewer* viewer, const char* caption) {
    for (QAction* action : part<QMenu>(viewer, "查看器菜单")->actions())
      if (action->text() == QString::fromUtf8(caption)) return action;
    ADD_FAILURE() << caption;
    return nullptr;
  }
  // Sets the find bar and searches; the marked line (1-based) or 0.
  int findLine(ValueViewer* viewer, const char* text, const char* mode, bool ignoreCase,
               bool backward = false) {
    part<QLineEdit>(viewer, "查看器查找文本")->setText(QString::fromUtf8(text));
    part<QRadioButton>(viewer, mode)->setChecked(true);
    part<QCheckBox>(viewer, "查看器忽略大小写")->setChecked(ignoreCase);
    return viewer->findNext(backward) ? viewer->view()->markedLine() + 1 : 0;
  }
};

TEST_F(ValueViewerTest, OpensFromTheMenuTheKeyAndADoubleClickOnTheValueBox) {
  paste(kDocument);
  tree()->setCurrentItem(2);
  QAction* open = find<QMenu>("树菜单")->actions().at(3);
  open->trigger();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(shownLines(*viewer),
            "{\n"
            "  \"id\": 1,\n"
            "  \"name\": \"岚溪 \\u4e2d\",\n"
            "  \"city\": \"杭州\",\n"
            "  \"url\": \"https://a.example/q?x=1&y=2\"\n"
            "}\n");
  viewer->close();
  QTest::qWait(0);
  ASSERT_TRUE(viewers().empty());  // closed viewers are deleted

  tree()->setCurrentItem(7);
  window().activateWindow();  // F4 belongs to the main window
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  tree()->setFocus();
  QTest::keyClick(tree(), Qt::Key_F4);
  viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->view()->lineCount(), 5);
  EXPECT_EQ(Utf8(viewer->view()->line(3)), "  \"ok\": true");
  delete viewer;

  tree()->setCurrentItem(11);
  auto* valueBox = find<QPlainTextEdit>("编辑框路径数据");
  QTest::mouseDClick(valueBox->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(shownLines(*viewer), "2\n");
}

TEST_F(ValueViewerTest, KeepsItsOwnCopyWhenTheTabReloads) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  const std::string before = shownLines(*viewer);
  paste(R"({"other":[1,2,3]})");
  ASSERT_EQ(label(1), "other");
  EXPECT_EQ(shownLines(*viewer), before);
  EXPECT_NE(before.find("\"total\": 2"), std::string::npos);
}

TEST_F(ValueViewerTest, ShowsColoursAndLineNumbers) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  viewer->resize(700, 500);
  QTest::qWait(20);
  const QImage image = viewer->view()->viewport()->grab().toImage();
  // Pixels near each kind's colour: glyph edges are blended, cores are not.
  auto has = [&image](TokenKind kind, int fromX) {
    const QColor want = PrettyTextView::colourOf(kind);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = fromX; x < image.width(); ++x) {
        const QColor got = image.pixelColor(x, y);
        if (std::abs(got.red() - want.red()) < 24 && std::abs(got.green() - want.green()) < 24 &&
            std::abs(got.blue() - want.blue()) < 24)
          return true;
      }
    }
    return false;
  };
  const int textStart = image.width() / 8;
  EXPECT_TRUE(has(TokenKind::Name, textStart));
  EXPECT_TRUE(has(TokenKind::String, textStart));
  EXPECT_TRUE(has(TokenKind::Number, textStart));
  EXPECT_TRUE(has(TokenKind::Literal, textStart));
  // Line numbers: grey glyphs in the margin on the rows of the text.
  int marked = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < textStart / 2; ++x)
      if (image.pixelColor(x, y).lightness() < 200) ++marked;
  }
  EXPECT_GT(marked, 50);
}

TEST_F(ValueViewerTest, FindWorksInEachModeAndWrapsAround) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  // Lines: 4 "id": 1, 5 "name", 6 "city", 10 "id": 22, 11 "name": "Tree", 12 "ok".
  EXPECT_EQ(findLine(viewer, "杭州", "查看器默认", false), 6);
  EXPECT_EQ(findLine(viewer, "NAME", "查看器默认", false), 0);
  EXPECT_EQ(part<QLabel>(viewer, "查看器查找结果")->text(), QStringLiteral("找不到"));
  EXPECT_EQ(findLine(viewer, "NAME", "查看器默认", true), 11);
  EXPECT_EQ(findLine(viewer, "NAME", "查看器默认", true), 5);  // wrapped around
  EXPECT_EQ(findLine(viewer, "NAME", "查看器默认", true, true), 11);
  EXPECT_EQ(findLine(viewer, "*t?ee*", "查看器通配", true), 11);
  EXPECT_EQ(findLine(viewer, "*t?ee*", "查看器通配", false), 0);
  EXPECT_EQ(findLine(viewer, "\"id\": \\d,$", "查看器正则", false), 4);
  EXPECT_EQ(findLine(viewer, "^\\s+\"OK\"", "查看器正则", true), 12);
  EXPECT_EQ(findLine(viewer, "^\\s+\"OK\"", "查看器正则", false), 0);
  EXPECT_EQ(findLine(viewer, "", "查看器默认", false), 0);

  // Ctrl+F shows the bar with the search bar's mode carried over.
  EXPECT_FALSE(part<QWidget>(viewer, "查看器查找栏")->isVisible());
  command(viewer, "查找")->trigger();
  EXPECT_TRUE(part<QWidget>(viewer, "查看器查找栏")->isVisible());
  EXPECT_EQ(command(viewer, "查找")->shortcut(), QKeySequence(QKeySequence::Find));
}

TEST_F(ValueViewerTest, FindSaysWhenItsExpressionRanAway) {
  paste("[\"" + std::string(50'000, 'a') + "b\",\"aaa\"]");
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(findLine(viewer, "(a+)+\",?$", "查看器正则", false), 0);
  EXPECT_EQ(part<QLabel>(viewer, "查看器查找结果")->text(),
            QStringLiteral("表达式过于复杂，搜索已中止"));
  EXPECT_EQ(findLine(viewer, "^\\s+\"a{3}\"$", "查看器正则", false), 3);
}

TEST_F(ValueViewerTest, FindStartsInTheSearchBarsMode) {
  paste(kDocument);
  click("单选框正则");
  click("选择框忽略大小写");
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(part<QRadioButton>(viewer, "查看器正则")->isChecked());
  EXPECT_TRUE(part<QCheckBox>(viewer, "查看器忽略大小写")->isChecked());
}

TEST_F(ValueViewerTest, CopiesPrettyAndMinifiedText) {
  paste(kDocument);
  tree()->setCurrentItem(7);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  command(viewer, "复制格式化文本")->trigger();
  EXPECT_EQ(clipboard(),
            QStringLiteral("{\n  \"id\": 22,\n  \"name\": \"Tree\",\n  \"ok\": true\n}"));
  setClipboard("");
  command(viewer, "复制压缩文本")->trigger();
  EXPECT_EQ(clipboard(), QStringLiteral(R"({"id":22,"name":"Tree","ok":true})"));
  EXPECT_FALSE(command(viewer, "复制压缩文本")->shortcut().isEmpty());
  EXPECT_FALSE(command(viewer, "复制格式化文本")->shortcut().isEmpty());
}

TEST_F(ValueViewerTest, BrokenValuesOpenAsTheyAre) {
  paste("{a:'x', b:[1,,2,], /* c */ d}");
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(minify(FromQString(QString::fromUtf8(shownLines(*viewer)))),
            minify(FromQString(find<QPlainTextEdit>("编辑框路径数据")->toPlainText())));
  EXPECT_GT(viewer->view()->lineCount(), 3);
}

TEST_F(ValueViewerTest, WordWrapAndLongLinesStayInTheWindow) {
  const std::string longText(100000, 'x');
  paste("[\"" + longText + "\",1]");
  tree()->setCurrentItem(0);
  window().openValueViewer();
  ValueViewer* viewer = openedViewer();
  ASSERT_NE(viewer, nullptr);
  viewer->resize(600, 400);
  QTest::qWait(20);
  QScrollBar* across = viewer->view()->horizontalScrollBar();
  EXPECT_GT(across->maximum(), 0);
  command(viewer, "自动换行")->trigger();
  EXPECT_TRUE(viewer->view()->wordWrap());
  EXPECT_EQ(across->maximum(), 0);
  // The wrapped line fills the window, yet the line after it can still be reached.
  QScrollBar* down = viewer->view()->verticalScrollBar();
  EXPECT_GE(down->maximum(), 2);
  // The whole line is still there for find and copies.
  EXPECT_EQ(viewer->view()->line(1).size(), longText.size() + 5);  // indent, quotes, comma
}

}  // namespace
}  // namespace keelnode
