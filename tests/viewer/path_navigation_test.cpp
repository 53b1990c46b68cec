// Copying the current item's path in other tools' syntaxes, and going to a
// path typed into the path box.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>

#include "window_fixture.h"

namespace keelnode {
namespace {

class PathNavigationTest : public testing::WindowTest {
 public:
  QLineEdit* pathBox() { return find<QLineEdit>("编辑框路径"); }
  QString path() { return pathBox()->text(); }
  // Types `text` into the path box, replacing what it shows, and presses Enter.
  void goTo(const QString& text) {
    pathBox()->setText(text);
    QTest::keyClick(pathBox(), Qt::Key_Return);
  }
  bool shown(int item) {
    const QRect rect = tree()->visualRect(tree()->items().indexOfItem(item));
    return tree()->viewport()->rect().contains(rect.center());
  }
};

// 0 root, 1 data, 2 [1], 3 name, 4 a.b, 5 e"f, 6 ~/x, 7 [2], 8 café
constexpr char kDocument[] =
    R"({"data":[{"name":"x","a.b":1,"e\"f":2,"~/x":3},{"caf\u00e9":"中"}]})";

TEST_F(PathNavigationTest, CopyPathAsWritesEverySyntaxFromTheMenuAndTheKeys) {
  paste(kDocument);
  ASSERT_EQ(tree()->itemCount(), 9);
  QMenu* copyAs = nullptr;
  for (QAction* action : find<QMenu>("树菜单")->actions()) {
    if (action->text() == QStringLiteral("复制路径为")) copyAs = action->menu();
  }
  ASSERT_NE(copyAs, nullptr);
  const QList<QAction*> commands = copyAs->actions();
  ASSERT_EQ(commands.size(), 5);
  const struct {
    int item;
    std::vector<const char*> paths;  // JavaScript, jq, JSONPath, JSON Pointer, Python
  } cases[] = {
      {3,
       {"data[0].name", ".data[0].name", "$.data[0].name", "/data/0/name",
        R"(["data"][0]["name"])"}},
      {4,
       {R"(data[0]["a.b"])", R"(.data[0]."a.b")", "$.data[0]['a.b']", "/data/0/a.b",
        R"(["data"][0]["a.b"])"}},
      {5,
       {R"(data[0]["e\"f"])", R"(.data[0]."e\"f")", R"($.data[0]['e"f'])", R"(/data/0/e"f)",
        R"(["data"][0]["e\"f"])"}},
      {6,
       {R"(data[0]["~/x"])", R"(.data[0]."~/x")", "$.data[0]['~/x']", "/data/0/~0~1x",
        R"(["data"][0]["~/x"])"}},
      {8,
       {R"(data[1]["café"])", R"(.data[1]."café")", "$.data[1]['café']", "/data/1/café",
        R"(["data"][1]["café"])"}},
  };
  for (const auto& c : cases) {
    tree()->setCurrentItem(c.item);
    for (size_t k = 0; k < c.paths.size(); ++k) {
      setClipboard("");
      commands.at(static_cast<int>(k))->trigger();
      EXPECT_EQ(clipboard(), QString::fromUtf8(c.paths[k])) << c.item << " " << k;
      setClipboard("");
      QTest::keyClick(tree(), static_cast<Qt::Key>(Qt::Key_1 + k),
                      Qt::ControlModifier | Qt::AltModifier);
      EXPECT_EQ(clipboard(), QString::fromUtf8(c.paths[k])) << "keys " << c.item << " " << k;
    }
  }
  // The path box and its copy are as before.
  tree()->setCurrentItem(4);
  EXPECT_EQ(path(), QStringLiteral("data.[1].\"a.b\""));
}

TEST_F(PathNavigationTest, EnterInThePathBoxGoesToAPathInAnySyntax) {
  paste(kDocument);
  tree()->setCurrentItem(0);
  const struct {
    const char* typed;
    int item;
    const char* box;  // the item's own path, as the box shows it
  } paths[] = {
      {"data.[1].name", 3, "data.[1].name"},  // the box's own forms
      {"data[2]", 7, "data.[2]"},
      {"$.data[1]['café']", 8, "data.[2].caf\\u00e9"},        // JSONPath
      {"/data/0/~0~1x", 6, "data.[1].~/x"},                   // JSON Pointer
      {".data[0].\"e\\\"f\"", 5, "data.[1].e#SYH#f"},         // jq
      {"[\"data\"][0][\"a.b\"]", 4, "data.[1].\"a.b\""},      // Python
      {"data[1][\"caf\\u00e9\"]", 8, "data.[2].caf\\u00e9"},  // JavaScript, escaped
      {"", 0, ""},                                            // the root
  };
  for (const auto& [typed, item, box] : paths) {
    tree()->setCurrentItem(1);
    goTo(QString::fromUtf8(typed));
    EXPECT_EQ(tree()->currentItem(), item) << typed;
    EXPECT_EQ(path(), QString::fromUtf8(box)) << typed;
  }
  // Going to the current item puts its own path back into the box.
  tree()->setCurrentItem(3);
  goTo(QStringLiteral("/data/0/name"));
  EXPECT_EQ(tree()->currentItem(), 3);
  EXPECT_EQ(path(), QStringLiteral("data.[1].name"));
}

TEST_F(PathNavigationTest, AnUnknownPathSaysSoAndKeepsTheSelection) {
  paste(kDocument);
  tree()->setCurrentItem(3);
  for (const char* unknown : {"data.[9]", "/data/5", "$.nope", ".data[0].\"", "data..x"}) {
    QToolTip::hideText();
    goTo(QString::fromUtf8(unknown));
    EXPECT_EQ(tree()->currentItem(), 3) << unknown;
    EXPECT_EQ(path(), QString::fromUtf8(unknown));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("找不到此路径")) << unknown;
  }
}

TEST_F(PathNavigationTest, GoingToAFarItemScrollsToIt) {
  std::string doc = "{\"items\":[";
  for (int i = 0; i < 400; ++i)
    doc += (i ? "," : "") + std::string("{\"id\":") + std::to_string(i) +
           ",\"url\":\"https://example.com/q?a=" + std::to_string(i) + "&b=2\"}";
  paste(doc + "]}");
  tree()->setCurrentItem(0);
  tree()->collapseAll();
  goTo(QStringLiteral("/items/399/url"));
  const int item = tree()->currentItem();
  ASSERT_GT(item, 1000);
  EXPECT_EQ(path(), QStringLiteral("items.[400].url"));
  EXPECT_TRUE(shown(item));
}

TEST_F(PathNavigationTest, CtrlGFocusesThePathBoxWithItsTextSelected) {
  paste(kDocument);
  tree()->setCurrentItem(3);
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  tree()->setFocus();
  QTest::keyClick(tree(), Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), pathBox());
  EXPECT_EQ(pathBox()->selectedText(), QStringLiteral("data.[1].name"));
  // Typing replaces the selected path; Enter goes there.
  QTest::keyClicks(pathBox(), QStringLiteral("/data/1"));
  QTest::keyClick(pathBox(), Qt::Key_Return);
  EXPECT_EQ(tree()->currentItem(), 7);
}

}  // namespace
}  // namespace keelnode
