#include "viewer/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "viewer/text_dialog.h"
#include "window_fixture.h"

namespace keelnode {
namespace {

using testing::OnNextModal;

struct ExpectedControl {
  const char* name;
  const char* parent;  // "" = the window
  const char* caption;
  std::optional<QRect> geometry;  // where the layout leaves it at its design place
  bool visible;
  const char* tag;
};

// The window's controls in the window's control order.
const std::vector<ExpectedControl>& Controls() {
  static const std::vector<ExpectedControl> controls = {
      {"图片框1", "", "", std::nullopt, true, ""},
      {"选择框文字图标", "图片框1", "文字图标", QRect(912, 8, 88, 24), true, ""},
      {"选择框先行解码", "图片框1", "先行解码", QRect(912, 32, 88, 24), true, ""},
      {"选择框窗口置顶", "图片框1", "窗口置顶", QRect(912, 56, 88, 24), true, ""},
      {"选择框数组从0开始", "图片框1", "数组从零开始", QRect(776, 8, 128, 24), true, ""},
      {"选择框数组独立节点", "图片框1", "数组独立节点", QRect(776, 32, 128, 24), true, ""},
      {"选择框单引号格式", "图片框1", "单引号格式", QRect(776, 56, 128, 24), true, ""},
      {"标签13", "图片框1", "", QRect(0, 88, 2000, 2), true, ""},
      {"图片岚溪软件", "图片框1", "", std::nullopt, true, ""},
      {"时钟官网", "图片框1", "", std::nullopt, false, ""},
      {"图片疑点说明", "图片框1", "", QRect(16, 0, 64, 64), true, ""},
      {"链接疑点说明", "图片框1", "疑点说明", QRect(16, 64, 64, 24), true, ""},
      {"图片软件主页", "图片框1", "", QRect(96, 0, 64, 64), true, ""},
      {"链接软件主页", "图片框1", "软件主页", QRect(96, 64, 64, 24), true, ""},
      {"按钮粘贴JSON树", "", "粘贴JSON数据到树（右键单击可读取网址数据）", QRect(8, 96, 536, 32),
       true, "禁止保存"},
      {"选择夹", "", "", std::nullopt, true, ""},
      {"树型框", "选择夹", "", std::nullopt, true, ""},
      {"树型框2", "选择夹", "", std::nullopt, false, ""},
      {"树型框3", "选择夹", "", std::nullopt, false, ""},
      {"树型框4", "选择夹", "", std::nullopt, false, ""},
      {"树型框5", "选择夹", "", std::nullopt, false, ""},
      {"树型框6", "选择夹", "", std::nullopt, false, ""},
      {"树型框7", "选择夹", "", std::nullopt, false, ""},
      {"编辑框路径", "", "", std::nullopt, true, "禁止保存"},
      {"按钮读取", "", "读取路径", QRect(664, 96, 104, 32), false, ""},
      {"编辑框路径数据", "", "", std::nullopt, true, "禁止保存"},
      {"编辑框路径数据2", "", "", std::nullopt, true, "禁止保存"},
      {"外形框1", "", "", std::nullopt, true, ""},
      {"编辑框查找文本", "外形框1", "要在JSON树中查找的文本", QRect(8, 8, 368, 24), true, ""},
      {"按钮粘贴", "外形框1", "粘贴", QRect(332, 10, 40, 20), true, ""},
      {"按钮下一个", "外形框1", "下一个", QRect(381, 8, 80, 24), true, ""},
      {"按钮上一个", "外形框1", "上一个", QRect(464, 8, 80, 24), true, ""},
      {"标签1", "外形框1", "查找选项：", QRect(552, 8, 80, 24), true, ""},
      {"单选框默认", "外形框1", "默认", QRect(640, 8, 64, 24), true, ""},
      {"单选框通配", "外形框1", "通配", QRect(712, 8, 64, 24), true, ""},
      {"单选框正则", "外形框1", "正则", QRect(784, 8, 64, 24), true, ""},
      {"选择框忽略大小写", "外形框1", "忽略大小写", QRect(907, 8, 104, 24), true, ""},
      {"树菜单", "", "", std::nullopt, false, ""},
      {"文件菜单", "", "", std::nullopt, false, ""},
      {"最近文件菜单", "文件菜单", "", std::nullopt, false, ""},
  };
  return controls;
}

QString Caption(QObject* control) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* line = qobject_cast<QLineEdit*>(control)) return line->text();
  if (auto* box = qobject_cast<QPlainTextEdit*>(control)) return box->toPlainText();
  return {};
}

using MainWindowTest = testing::WindowTest;

TEST_F(MainWindowTest, WindowHasItsTitleSizeAndPlace) {
  EXPECT_EQ(window().windowTitle(), QStringLiteral("岚溪·DUVOvidu(Keelnode) v1.1.3.0"));
  EXPECT_EQ(window().size(), QSize(1020, 739));
  EXPECT_EQ(window().pos(), QPoint(50, 50));
  EXPECT_EQ(window().font().pixelSize(), 15);
  EXPECT_EQ(find<QWidget>("按钮粘贴JSON树")->font().pixelSize(), 15);
  EXPECT_EQ(find<QWidget>("链接疑点说明")->font().pixelSize(), 12);
  EXPECT_EQ(find<QWidget>("链接软件主页")->font().pixelSize(), 12);
}

TEST_F(MainWindowTest, ControlsCarryNamesCaptionsPlacesAndTags) {
  for (const ExpectedControl& want : Controls()) {
    SCOPED_TRACE(want.name);
    QObject* control = window().findChild<QObject*>(QString::fromUtf8(want.name));
    ASSERT_NE(control, nullptr);
    const QString parentName =
        control->parent() == &window() ? QString() : control->parent()->objectName();
    EXPECT_EQ(parentName, QString::fromUtf8(want.parent));
    EXPECT_EQ(Caption(control), QString::fromUtf8(want.caption));
    EXPECT_EQ(control->property("tag").toString(), QString::fromUtf8(want.tag));
    if (auto* widget = qobject_cast<QWidget*>(control)) {
      EXPECT_EQ(widget->isVisible(), want.visible);
      if (want.geometry) {
        EXPECT_EQ(widget->geometry(), *want.geometry);
      }
    }
  }
  EXPECT_TRUE(find<QCheckBox>("选择框数组独立节点")->isChecked());
  EXPECT_FALSE(find<QCheckBox>("选择框数组从0开始")->isChecked());
  EXPECT_TRUE(find<QRadioButton>("单选框默认")->isChecked());
  EXPECT_EQ(find<QTimer>("时钟官网")->interval(), 20);
  EXPECT_TRUE(find<QTimer>("时钟官网")->isActive());
  const QList<QAction*> items = find<QMenu>("树菜单")->actions();
  // The four commands first, then the path commands after a separator
  // (later groups are checked with their commands).
  ASSERT_GE(items.size(), 7);
  EXPECT_EQ(items[0]->text(), QStringLiteral("复制路径"));
  EXPECT_EQ(items[1]->text(), QStringLiteral("复制路径数据"));
  EXPECT_EQ(items[2]->text(), QStringLiteral("复制USC2解码的路径数据"));
  EXPECT_EQ(items[3]->text(), QStringLiteral("在查看器中打开值"));
  EXPECT_EQ(items[3]->shortcut(), QKeySequence(Qt::Key_F4));
  EXPECT_TRUE(items[4]->isSeparator());
  ASSERT_NE(items[5]->menu(), nullptr);
  EXPECT_EQ(items[5]->text(), QStringLiteral("复制路径为"));
  QStringList syntaxes;
  for (QAction* command : items[5]->menu()->actions())
    syntaxes << command->text() + " " + command->shortcut().toString();
  EXPECT_EQ(syntaxes, QStringList({"JavaScript Ctrl+Alt+1", "jq Ctrl+Alt+2", "JSONPath Ctrl+Alt+3",
                                   "JSON Pointer Ctrl+Alt+4", "Python Ctrl+Alt+5"}));
  EXPECT_EQ(items[6]->text(), QStringLiteral("转到路径"));
  EXPECT_EQ(items[6]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
  EXPECT_TRUE(items[7]->isSeparator());
  EXPECT_EQ(items[8]->text(), QStringLiteral("打开文件…"));
  EXPECT_EQ(items[8]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(items[9]->text(), QStringLiteral("最近打开的文件"));
  EXPECT_EQ(items[9]->menu(), find<QMenu>("最近文件菜单"));
}

// Controls are made in the order of the window's control table.
TEST_F(MainWindowTest, ControlsComeInTheWindowsControlOrder) {
  std::vector<std::string> walked;
  std::function<void(QObject*)> walk = [&](QObject* parent) {
    for (QObject* child : parent->children()) {
      // Qt names the parts of its controls in ASCII ("qt_tabwidget_tabbar").
      const QString name = child->objectName();
      const bool ours =
          std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0x7F; });
      if (ours) {
        walked.push_back(name.toStdString());
      }
      walk(child);
    }
  };
  walk(&window());
  std::vector<std::string> expected;
  for (const ExpectedControl& want : Controls())
    expected.emplace_back(want.name);
  std::string order;
  for (const std::string& name : walked)
    order += name + " ";
  EXPECT_EQ(walked, expected) << order;
}

// The saved control states walk another order: the one that gives a first
// save the key order of the settings files the program shares.
TEST_F(MainWindowTest, ControlOrderPutsTheSavedControlsFirstAndListsEveryControlOnce) {
  const std::vector<QWidget*> order = window().controlOrder();
  const char* const saved[] = {"选择框先行解码",    "选择框单引号格式",   "按钮粘贴",
                               "选择框忽略大小写",  "单选框正则",         "单选框通配",
                               "按钮上一个",        "单选框默认",         "按钮下一个",
                               "编辑框查找文本",    "选择框窗口置顶",     "选择框文字图标",
                               "选择框数组从0开始", "选择框数组独立节点", "按钮读取"};
  ASSERT_GT(order.size(), std::size(saved));
  for (size_t k = 0; k < std::size(saved); ++k)
    EXPECT_EQ(order[k]->objectName(), QString::fromUtf8(saved[k])) << k;
  std::set<QString> names;
  for (QWidget* control : order)
    EXPECT_TRUE(names.insert(control->objectName()).second) << control->objectName().toStdString();
  std::set<QString> expected;
  for (const ExpectedControl& want : Controls()) {
    if (window().findChild<QWidget*>(QString::fromUtf8(want.name))) {
      expected.insert(QString::fromUtf8(want.name));
    }
  }
  EXPECT_EQ(names, expected);
}

TEST_F(MainWindowTest, SevenPagesEachShowOnlyTheirTree) {
  auto* tabs = find<QTabWidget>("选择夹");
  const char* const captions[] = {"  JSON树  ", "  树2  ", "  树3  ", "  树4  ",
                                  "  树5  ",    "  树6  ", "  树7  "};
  ASSERT_EQ(tabs->count(), 7);
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(tabs->tabText(k), QString::fromUtf8(captions[k]));
  QSignalSpy changed(&window(), &MainWindow::tabChanged);
  tabs->setCurrentIndex(2);
  EXPECT_EQ(window().currentTabNumber(), 3);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toInt(), 3);
  for (int k = 1; k <= 7; ++k)
    EXPECT_EQ(window().tree(k)->isVisible(), k == 3) << k;
  EXPECT_EQ(window().currentTree(), find<JsonTreeView>("树型框3"));
  window().setCurrentTabNumber(5);
  EXPECT_EQ(tabs->currentIndex(), 4);
  for (int invalid : {0, 8, -1}) {
    window().setCurrentTabNumber(invalid);
    EXPECT_EQ(window().currentTabNumber(), 5);
  }
}

struct Layout {
  QRect searchBar, tabs, tree, path, value, decoded;
  int bannerWidth;
};

Layout Expected(int cw, int ch) {
  const int h = ch - 132 - 40;
  const double x = h / 3.0;
  const int value = static_cast<int>(2 * x - 5);
  return {QRect(0, ch - 40, cw, 40),
          QRect(8, 132, 536, h),
          QRect(0, 34, 536, h - 34),
          QRect(550, 96, cw - 560, 32),
          QRect(550, 132, cw - 560, value),
          QRect(550, 132 + value + 5, cw - 560, static_cast<int>(x)),
          cw};
}

void ExpectLayout(testing::WindowTest& test, MainWindow& window, Layout expected) {
  // The banner spans the window's outer width.
  expected.bannerWidth = window.frameGeometry().width();
  EXPECT_EQ(test.find<QWidget>("外形框1")->geometry(), expected.searchBar);
  EXPECT_EQ(test.find<QWidget>("选择夹")->geometry(), expected.tabs);
  for (int k = 1; k <= 7; ++k)
    EXPECT_EQ(window.tree(k)->geometry(), expected.tree) << k;
  EXPECT_EQ(test.find<QWidget>("编辑框路径")->geometry(), expected.path);
  EXPECT_EQ(test.find<QWidget>("编辑框路径数据")->geometry(), expected.value);
  EXPECT_EQ(test.find<QWidget>("编辑框路径数据2")->geometry(), expected.decoded);
  EXPECT_EQ(test.find<QWidget>("图片框1")->width(), expected.bannerWidth);
  // Controls that are not laid out keep their design place.
  EXPECT_EQ(test.find<QWidget>("按钮下一个")->geometry(), QRect(381, 8, 80, 24));
}

TEST_F(MainWindowTest, LayoutAtTheDesignSize) {
  // 739 - 132 - 40 = 567 for the tab control; a third of it is 189.
  const Layout expected = Expected(1020, 739);
  EXPECT_EQ(expected.value, QRect(550, 132, 460, 373));
  EXPECT_EQ(expected.decoded, QRect(550, 510, 460, 189));
  ExpectLayout(*this, window(), expected);
}

TEST_F(MainWindowTest, LayoutFollowsEveryResize) {
  window().resize(1300, 901);
  ExpectLayout(*this, window(), Expected(1300, 901));  // a third of 729 is 243
  window().resize(1020, 600);
  ExpectLayout(*this, window(), Expected(1020, 600));
}

// Every shown control of the window, with its place in the window.
std::vector<std::pair<QWidget*, QRect>> ShownControls(MainWindow& window) {
  std::vector<std::pair<QWidget*, QRect>> shown;
  for (QWidget* control : window.findChildren<QWidget*>()) {
    const QString name = control->objectName();
    if (name.isEmpty() || name.at(0).unicode() < 0x80 || !control->isVisibleTo(&window) ||
        control->isWindow() || control == window.findChild<QWidget*>("标签13")) {
      continue;
    }
    shown.emplace_back(control, QRect(control->mapTo(&window, QPoint(0, 0)), control->size()));
  }
  return shown;
}

TEST_F(MainWindowTest, BelowTheDesignWidthTheWindowReflowsDownToItsMinimum) {
  // The banner and the rule span the window's outer width: left out.
  const QStringList spanning = {"图片框1", "外形框1"};
  for (const QSize size : {QSize(1019, 739), QSize(900, 700), QSize(772, 600), QSize(771, 600),
                           QSize(700, 500), QSize(640, 400), QSize(200, 150)}) {
    SCOPED_TRACE(size.width());
    window().resize(size);
    const QSize at = size.expandedTo(QSize(640, 400));  // the smallest it gets
    ASSERT_EQ(window().size(), at);
    const QRect client(QPoint(0, 0), at);
    const auto shown = ShownControls(window());
    ASSERT_GT(shown.size(), 20u);
    for (const auto& [control, place] : shown) {
      EXPECT_TRUE(client.contains(place) || spanning.contains(control->objectName()))
          << control->objectName().toStdString() << " at " << place.x() << "," << place.y() << " "
          << place.width() << "x" << place.height();
    }
    // Side by side, nothing covers anything else (the paste button sits
    // on the search box by design, and the trees are on their tab control).
    for (const auto& [one, a] : shown) {
      for (const auto& [other, b] : shown) {
        if (one == other || one->isAncestorOf(other) || other->isAncestorOf(one)) continue;
        const QStringList pair = {one->objectName(), other->objectName()};
        if (pair.contains("按钮粘贴") && pair.contains("编辑框查找文本")) continue;
        EXPECT_FALSE(a.intersects(b)) << pair.join(" / ").toStdString();
      }
    }
    // The tree and the boxes keep a usable size.
    EXPECT_GE(window().tree(1)->width(), 300);
    EXPECT_GE(find<QWidget>("编辑框路径数据")->width(), 250);
    EXPECT_GE(window().tree(1)->height(), 150);
  }
  // Below the width where one row holds the search bar, it takes two.
  window().resize(772, 600);
  EXPECT_EQ(find<QWidget>("外形框1")->geometry(), QRect(0, 560, 772, 40));
  EXPECT_EQ(find<QWidget>("编辑框查找文本")->geometry(), QRect(8, 8, 120, 24));
  window().resize(771, 600);
  EXPECT_EQ(find<QWidget>("外形框1")->geometry(), QRect(0, 528, 771, 72));
  EXPECT_EQ(find<QWidget>("单选框默认")->geometry(), QRect(96, 40, 64, 24));
  // Back at the design width, every control is at its design place again.
  window().resize(1020, 739);
  ExpectLayout(*this, window(), Expected(1020, 739));
  for (const ExpectedControl& want : Controls()) {
    auto* control = window().findChild<QWidget*>(QString::fromUtf8(want.name));
    if (control && want.geometry) {
      EXPECT_EQ(control->geometry(), *want.geometry) << want.name;
    }
  }
  EXPECT_TRUE(find<QWidget>("图片岚溪软件")->isVisible());
}

TEST_F(MainWindowTest, TopmostFollowsItsCheckBox) {
  EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  click("选择框窗口置顶");
  EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window().isVisible());
  click("选择框窗口置顶");
  EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, TextIconsSwitchEveryTree) {
  const qint64 picture = window().tree(1)->items().icons()[0].cacheKey();
  click("选择框文字图标");
  const qint64 text = window().tree(1)->items().icons()[0].cacheKey();
  EXPECT_NE(text, picture);
  for (int k = 2; k <= 7; ++k)
    EXPECT_EQ(window().tree(k)->items().icons()[0].cacheKey(), text);
  click("选择框文字图标");
  for (int k = 1; k <= 7; ++k)
    EXPECT_EQ(window().tree(k)->items().icons()[0].cacheKey(), picture);
}

TEST_F(MainWindowTest, BrandImageWalksBetweenTheLinksAndTheOptions) {
  find<QTimer>("时钟官网")->stop();
  QWidget* logo = find<QWidget>("图片岚溪软件");
  EXPECT_EQ(logo->geometry(), QRect(368, 12, 195, 64));
  int lowest = logo->x();
  int highest = logo->x();
  for (int tick = 0; tick < 1000; ++tick) {
    window().stepBrandImage();
    lowest = std::min(lowest, logo->x());
    highest = std::max(highest, logo->x());
  }
  // It turns once its right edge passes 776 - 20, and again once its left
  // edge falls below 96 + 64 + 20.
  EXPECT_EQ(highest + 195, 757);
  EXPECT_EQ(lowest, 179);
  EXPECT_EQ(logo->y(), 12);
}

class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(MainWindowTest, PicturesAndLinkOpenTheirAddresses) {
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
  QTest::mouseClick(find<QWidget>("图片岚溪软件"), Qt::LeftButton);
  QTest::mouseClick(find<QWidget>("图片软件主页"), Qt::LeftButton);
  QTest::mousePress(find<QWidget>("链接软件主页"), Qt::LeftButton);
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  ASSERT_EQ(recorder.urls.size(), 3u);
  EXPECT_TRUE(recorder.urls[0].isValid());
  EXPECT_TRUE(recorder.urls[1].isValid());
  EXPECT_NE(recorder.urls[0], recorder.urls[1]);  // maker's page, product page
  EXPECT_EQ(recorder.urls[2], recorder.urls[1]);
}

void ExpectNotesDialog(QWidget* modal) {
  auto* dialog = qobject_cast<TextDialog*>(modal);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->params().infoMode);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("岚溪："));
  const QString notes =
      dialog->findChild<QPlainTextEdit*>(QStringLiteral("编辑框正文"))->toPlainText();
  EXPECT_TRUE(
      notes.startsWith(QStringLiteral("【右键单击读取网址数据时，可以附加Ctrl键表示该数据是UTF-"
                                      "8，Alt键表示是GBK，否则自动识别编码】\n")));
  EXPECT_GT(notes.size(), 200);
  dialog->findChild<QPushButton*>(QStringLiteral("按钮取消"))->click();
}

TEST_F(MainWindowTest, NotesOpenFromThePictureAndTheLink) {
  bool shown = false;
  OnNextModal([&](QWidget* modal) {
    ExpectNotesDialog(modal);
    shown = true;
  });
  QTest::mouseClick(find<QWidget>("图片疑点说明"), Qt::LeftButton);
  EXPECT_TRUE(shown);
  shown = false;
  OnNextModal([&](QWidget* modal) {
    ExpectNotesDialog(modal);
    shown = true;
  });
  QTest::mousePress(find<QWidget>("链接疑点说明"), Qt::LeftButton);
  EXPECT_TRUE(shown);
}

TEST_F(MainWindowTest, RightButtonOnThePasteButtonAsksForAnAddressFetch) {
  QSignalSpy asked(&window(), &MainWindow::pasteFromAddressRequested);
  QWidget* paste = find<QWidget>("按钮粘贴JSON树");
  QTest::mousePress(paste, Qt::RightButton, Qt::ControlModifier);
  QTest::mousePress(paste, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
  QTest::mousePress(paste, Qt::RightButton, Qt::ShiftModifier);
  ASSERT_EQ(asked.count(), 3);
  EXPECT_EQ(asked[0][0].toInt(), 1);
  EXPECT_EQ(asked[1][0].toInt(), 5);
  EXPECT_EQ(asked[2][0].toInt(), 2);
}

TEST(MainWindowActivationTest, TheFirstActivationIsAnnouncedOnce) {
  MainWindow window;
  QSignalSpy activated(&window, &MainWindow::firstActivated);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(activated.count(), 1);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(activated.count(), 1);
}

TEST_F(MainWindowTest, ClosingAnnouncesItself) {
  QSignalSpy closing(&window(), &MainWindow::closing);
  EXPECT_TRUE(window().close());
  EXPECT_EQ(closing.count(), 1);
}

// Over an empty tree there is no item to open the tree menu on; the tab
// strip offers the file commands at any time.
TEST_F(MainWindowTest, TheTabStripOffersTheFileCommands) {
  auto* strip = find<QTabWidget>("选择夹")->tabBar();
  QSignalSpy opens(&window(), &MainWindow::openFileRequested);
  emit strip->customContextMenuRequested(QPoint(10, 10));
  auto* menu = find<QMenu>("文件菜单");
  ASSERT_TRUE(menu->isVisible());
  menu->actions().at(0)->trigger();
  menu->close();
  EXPECT_EQ(opens.size(), 1);
}

}  // namespace
}  // namespace keelnode

#include "main_window_test.moc"

namespace keelnode {
namespace {

// Two commands on one key: Qt runs neither and says "ambiguous shortcut".
TEST(MainWindowShortcutsTest, NoTwoCommandsShareAKey) {
  MainWindow window;
  std::map<QString, QString> owner;
  for (QAction* action : window.findChildren<QAction*>()) {
    for (const QKeySequence& key : action->shortcuts()) {
      const QString name = key.toString();
      const auto [it, added] = owner.emplace(name, action->text());
      EXPECT_TRUE(added) << name.toStdString() << ": " << it->second.toStdString() << " and "
                         << action->text().toStdString();
    }
  }
  EXPECT_GT(owner.size(), 10u);
}

}  // namespace
}  // namespace keelnode
