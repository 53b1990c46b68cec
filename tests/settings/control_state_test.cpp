// Saving and restoring the main window's controls.
#include "settings/controls/control_state.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "settings/memory_file_system.h"
#include "test_support.h"
#include "widget_support.h"

namespace keelnode {
namespace {

using testing::Add;
using testing::G;

constexpr char kPath[] = "/data/s.ini";

const char* const kTrees[] = {"树型框",  "树型框2", "树型框3", "树型框4",
                              "树型框5", "树型框6", "树型框7"};

// The main window's controls, in the order and with the parents of its
// design table: option check boxes in the banner, search controls in the
// bottom panel, "禁止保存" on the path and value boxes and the paste button.
struct MainWindow {
  MainWindow() : window(std::make_unique<QWidget>()) {
    QWidget* banner = Add<QLabel>(window.get(), "图片框1");
    Add<QCheckBox>(banner, "选择框文字图标");
    Add<QCheckBox>(banner, "选择框先行解码");
    Add<QCheckBox>(banner, "选择框窗口置顶");
    Add<QCheckBox>(banner, "选择框数组从0开始");
    Add<QCheckBox>(banner, "选择框数组独立节点")->setChecked(true);
    Add<QCheckBox>(banner, "选择框单引号格式");
    Add<QLabel>(banner, "标签13");
    Add<QLabel>(banner, "图片岚溪软件");
    (new QTimer(banner))->setObjectName(QString::fromUtf8("时钟官网"));
    Add<QLabel>(banner, "图片疑点说明");
    Add<QLabel>(banner, "链接疑点说明");
    Add<QLabel>(banner, "图片软件主页");
    Add<QLabel>(banner, "链接软件主页");
    Add<QPushButton>(window.get(), "按钮粘贴JSON树", "禁止保存");
    tabs = Add<QTabWidget>(window.get(), "选择夹");
    for (const char* tree : kTrees) {
      auto* page = new QWidget();
      tabs->addTab(page, QStringLiteral("  tab  "));
      Add<QTreeWidget>(page, tree);
    }
    path = Add<QLineEdit>(window.get(), "编辑框路径", "禁止保存");
    Add<QPushButton>(window.get(), "按钮读取")->setVisible(false);
    Add<QPlainTextEdit>(window.get(), "编辑框路径数据", "禁止保存");
    Add<QPlainTextEdit>(window.get(), "编辑框路径数据2", "禁止保存");
    QWidget* panel = Add<QFrame>(window.get(), "外形框1");
    search = Add<QLineEdit>(panel, "编辑框查找文本");
    search->setText(QString::fromUtf8("要在JSON树中查找的文本"));
    Add<QPushButton>(panel, "按钮粘贴");
    Add<QPushButton>(panel, "按钮下一个");
    Add<QPushButton>(panel, "按钮上一个");
    Add<QLabel>(panel, "标签1");
    Add<QRadioButton>(panel, "单选框默认")->setChecked(true);
    Add<QRadioButton>(panel, "单选框通配");
    Add<QRadioButton>(panel, "单选框正则");
    Add<QCheckBox>(panel, "选择框忽略大小写");
    Add<QMenu>(window.get(), "树菜单");
  }

  template <typename Widget>
  Widget* Find(const char* name) const {
    return window->findChild<Widget*>(QString::fromUtf8(name));
  }

  // What the window does at close after saving its controls.
  void WriteTabAndTreeSelections(SettingsStore& store) const {
    store.SetSection(G("JSON树"));
    store.WriteNumber(G("选择夹"), tabs->currentIndex());
    for (const char* tree : kTrees)
      store.WriteNumber(G(tree) + G(".现行选中项"), 0);
  }

  std::unique_ptr<QWidget> window;
  QTabWidget* tabs = nullptr;
  QLineEdit* path = nullptr;
  QLineEdit* search = nullptr;
};

std::vector<std::string> Gb(std::initializer_list<const char*> names) {
  std::vector<std::string> out;
  for (const char* name : names)
    out.push_back(G(name));
  return out;
}

class ControlStateTest : public ::testing::Test {
 protected:
  ControlStateTest() {
    files_.AddDirectory("/data");
    EXPECT_TRUE(store_.Open(kPath));
  }
  static PersistOptions InSection() {
    PersistOptions options;
    options.section = G("JSON树");
    return options;
  }

  MemoryFileSystem files_;
  SettingsStore store_{files_};
};

TEST_F(ControlStateTest, FirstSaveOfTheMainWindowLeavesKeysInReverseControlOrder) {
  MainWindow main;
  PersistWindowControls(store_, *main.window, /*restore=*/false, InSection());
  main.WriteTabAndTreeSelections(store_);
  EXPECT_EQ(store_.ListSections(), Gb({"JSON树"}));
  EXPECT_EQ(
      store_.ListKeys(G("JSON树")),
      Gb({"树型框7.现行选中项", "树型框6.现行选中项", "树型框5.现行选中项", "树型框4.现行选中项",
          "树型框3.现行选中项", "树型框2.现行选中项", "树型框.现行选中项",  "选择夹",
          "选择框忽略大小写",   "单选框正则",         "单选框通配",         "单选框默认",
          "按钮上一个.标记",    "按钮下一个.标记",    "按钮粘贴.标记",      "编辑框查找文本",
          "按钮读取.标记",      "选择框单引号格式",   "选择框数组独立节点", "选择框数组从0开始",
          "选择框窗口置顶",     "选择框先行解码",     "选择框文字图标"}));
  const std::string file = files_.File(kPath).value();
  EXPECT_TRUE(file.starts_with(G("[JSON树]\r\n树型框7.现行选中项=0\r\n")));
  EXPECT_TRUE(file.ends_with(G("\r\n选择框先行解码=假\r\n选择框文字图标=假")));
  EXPECT_NE(file.find(G("\r\n编辑框查找文本=要在JSON树中查找的文本\r\n")), std::string::npos);
  EXPECT_NE(file.find(G("\r\n选择框数组独立节点=真\r\n")), std::string::npos);
  EXPECT_NE(file.find(G("\r\n单选框默认=真\r\n")), std::string::npos);
  EXPECT_NE(file.find(G("\r\n按钮读取.标记=\r\n")), std::string::npos);
  EXPECT_EQ(file.find(G("编辑框路径")), std::string::npos);
  EXPECT_EQ(file.find(G("按钮粘贴JSON")), std::string::npos);
  EXPECT_EQ(file.find(G("树菜单")), std::string::npos);
}

TEST_F(ControlStateTest, ControlListInTheOriginalOrderGivesTheOriginalFileLayout) {
  // The original window enumerated its controls in this order, which no
  // walk over the design table's parents produces; an explicit control
  // list reproduces that file byte for byte.
  MainWindow main;
  std::vector<QWidget*> controls;
  for (const char* name :
       {"选择框先行解码", "选择框单引号格式", "按钮粘贴", "选择框忽略大小写", "单选框正则",
        "单选框通配", "按钮上一个", "单选框默认", "按钮下一个", "编辑框查找文本", "选择框窗口置顶",
        "选择框文字图标", "选择框数组从0开始", "选择框数组独立节点", "按钮读取"}) {
    controls.push_back(main.Find<QWidget>(name));
  }
  PersistOptions options = InSection();
  options.controls = controls;
  PersistWindowControls(store_, *main.window, false, options);
  main.WriteTabAndTreeSelections(store_);
  EXPECT_EQ(files_.File(kPath),
            G("[JSON树]\r\n树型框7.现行选中项=0\r\n树型框6.现行选中项=0\r\n树型框5.现行选中项=0"
              "\r\n树型框4.现行选中项=0\r\n树型框3.现行选中项=0\r\n树型框2.现行选中项=0"
              "\r\n树型框.现行选中项=0\r\n选择夹=0\r\n按钮读取.标记=\r\n选择框数组独立节点=真"
              "\r\n选择框数组从0开始=假\r\n选择框文字图标=假\r\n选择框窗口置顶=假"
              "\r\n编辑框查找文本=要在JSON树中查找的文本\r\n按钮下一个.标记=\r\n单选框默认=真"
              "\r\n按钮上一个.标记=\r\n单选框通配=假\r\n单选框正则=假\r\n选择框忽略大小写=假"
              "\r\n按钮粘贴.标记=\r\n选择框单引号格式=假\r\n选择框先行解码=假"));
}

TEST_F(ControlStateTest, RestoreBringsBackChecksAndSearchTextButNotNoSaveControls) {
  {
    MainWindow before;
    before.Find<QCheckBox>("选择框窗口置顶")->setChecked(true);
    before.Find<QCheckBox>("选择框数组独立节点")->setChecked(false);
    before.Find<QRadioButton>("单选框正则")->setChecked(true);
    before.search->setText(QString::fromUtf8("查找\r\n两行"));
    before.path->setText(QStringLiteral("a.b"));
    PersistWindowControls(store_, *before.window, false, InSection());
  }
  // The file also holds a value under a "禁止保存" control's name.
  store_.WriteText(G("编辑框路径"), "stale");
  const std::string saved = files_.File(kPath).value();

  SettingsStore next(files_);
  store_.Close();
  ASSERT_TRUE(next.Open(kPath));
  MainWindow after;
  after.path->setText(QStringLiteral("untouched"));
  PersistWindowControls(next, *after.window, /*restore=*/true, InSection());
  EXPECT_TRUE(after.Find<QCheckBox>("选择框窗口置顶")->isChecked());
  EXPECT_FALSE(after.Find<QCheckBox>("选择框数组独立节点")->isChecked());
  EXPECT_FALSE(after.Find<QCheckBox>("选择框文字图标")->isChecked());
  EXPECT_TRUE(after.Find<QRadioButton>("单选框正则")->isChecked());
  EXPECT_FALSE(after.Find<QRadioButton>("单选框默认")->isChecked());
  EXPECT_EQ(after.search->text(), QString::fromUtf8("查找\r\n两行"));
  EXPECT_EQ(after.path->text(), QStringLiteral("untouched"));
  EXPECT_EQ(files_.File(kPath), saved);  // restoring writes nothing
}

TEST_F(ControlStateTest, RestoreWithoutEntriesLeavesControlsAsTheyAre) {
  MainWindow main;
  main.Find<QCheckBox>("选择框先行解码")->setChecked(true);
  store_.SetSection(G("JSON树"));
  store_.WriteFlag(G("选择框单引号格式"), true);
  PersistWindowControls(store_, *main.window, true, InSection());
  EXPECT_TRUE(main.Find<QCheckBox>("选择框先行解码")->isChecked());
  EXPECT_TRUE(main.Find<QCheckBox>("选择框数组独立节点")->isChecked());
  EXPECT_TRUE(main.Find<QCheckBox>("选择框单引号格式")->isChecked());
  EXPECT_EQ(main.search->text(), QString::fromUtf8("要在JSON树中查找的文本"));
}

TEST_F(ControlStateTest, ExcludedAndMisnamedControlsAreSkipped) {
  QWidget window;
  Add<QCheckBox>(&window, "选择框甲")->setChecked(true);
  Add<QCheckBox>(&window, "选择框乙")->setChecked(true);
  Add<QLabel>(&window, "编辑框标签")->setText(QStringLiteral("a label, not an edit box"));
  Add<QCheckBox>(&window, "按钮其实是选择框");
  PersistOptions options = InSection();
  options.excluded = {G("选择框乙")};
  PersistWindowControls(store_, window, false, options);
  EXPECT_EQ(store_.ListKeys(G("JSON树")), Gb({"选择框甲"}));
}

TEST_F(ControlStateTest, ControlClosedWhileTheWindowHasItsTurnIsSkipped) {
  QWidget window;
  Add<QCheckBox>(&window, "选择框一")->setChecked(true);
  QCheckBox* second = Add<QCheckBox>(&window, "选择框二");
  testing::YieldHookScope hook([&] { delete second; });
  PersistWindowControls(store_, window, false, InSection());
  EXPECT_EQ(store_.ListKeys(G("JSON树")), Gb({"选择框一"}));
}

}  // namespace
}  // namespace keelnode
