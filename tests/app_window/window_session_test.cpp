#include "app/window_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/window_program.h"
#include "app_window_support.h"
#include "settings/file_system.h"
#include "viewer/icon_sets.h"
#include "viewer/json_tree_view.h"
#include "viewer/text_box.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::AnswerNextMessageBox;
using testing::DataDir;
using testing::DataFileName;
using testing::FirstCloseIni;
using testing::Gb;
using testing::Utf8;

// Thirteen array items: item 12 of the tree is a.[11].
constexpr std::string_view kDocument = R"({"a":[1,2,3,4,5,6,7,8,9,10,11,12,13],"b":"x"})";

ino_t Inode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

class WindowSessionTest : public ::testing::Test {
 protected:
  std::unique_ptr<WindowProgram> Start(const std::vector<std::string>& files = {}) {
    auto program = std::make_unique<WindowProgram>(dir_.path(), DiskFileSystem());
    program->start(files);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->window()));
    return program;
  }
  // Closes the window as its close button does; the run ends with it.
  static void Close(std::unique_ptr<WindowProgram>& program) {
    EXPECT_TRUE(program->window().close());
    program.reset();
  }

  template <typename Control>
  static Control* Find(WindowProgram& program, const char* name) {
    auto* control = program.window().findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  static void Click(WindowProgram& program, const char* name) {
    Find<QAbstractButton>(program, name)->click();
  }
  static void Paste(WindowProgram& program, std::string_view utf8) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8.data(), utf8.size()));
    Click(program, "按钮粘贴JSON树");
  }
  static std::string PathBox(WindowProgram& program) {
    return Find<QLineEdit>(program, "编辑框路径")->text().toStdString();
  }
  static std::string ValueBox(WindowProgram& program) {
    return Utf8(Find<TextBox>(program, "编辑框路径数据")->programText());
  }

  DataDir dir_;
};

TEST_F(WindowSessionTest, FirstCloseWritesTheKeysInTheirOrderAndNoEmptyDataFile) {
  auto program = Start();
  Close(program);
  EXPECT_EQ(dir_.ini(), FirstCloseIni());
  // Tab 1 was shown but had no file and got no text.
  for (int tab = 1; tab <= 7; ++tab)
    EXPECT_FALSE(dir_.get(DataFileName(tab))) << tab;

  // A second run without changes rewrites values in place: same bytes.
  program = Start();
  Close(program);
  EXPECT_EQ(dir_.ini(), FirstCloseIni());
}

TEST_F(WindowSessionTest, TheCurrentTabAndItsItemComeBackAfterARestart) {
  dir_.put(DataFileName(3), kDocument);
  auto program = Start();
  EXPECT_EQ(program->window().tree(3)->itemCount(), 0);  // not shown yet
  program->window().setCurrentTabNumber(3);
  EXPECT_EQ(program->window().rawText(3), kDocument);
  program->window().setCurrentItem(3, 12);
  Close(program);

  program = Start();
  EXPECT_EQ(program->window().currentTabNumber(), 3);
  EXPECT_EQ(program->window().rawText(3), kDocument);
  EXPECT_EQ(program->window().currentItem(3), 12);
  EXPECT_EQ(PathBox(*program), "a.[11]");
  EXPECT_EQ(ValueBox(*program), "11");
  EXPECT_EQ(program->window().tree(1)->itemCount(), 0);  // tab 1 was never shown
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(3)), kDocument);
}

TEST_F(WindowSessionTest, NoCurrentItemIsSavedAsNoneAndComesBackAsNone) {
  dir_.put(DataFileName(1), kDocument);
  dir_.put("岚溪·DUVOvidu.ini", Gb("[JSON树]\r\n树型框.现行选中项=-1"));
  for (int run = 0; run < 2; ++run) {
    auto program = Start();
    EXPECT_EQ(program->window().rawText(1), kDocument) << run;
    EXPECT_EQ(program->window().currentItem(1), -1) << run;
    EXPECT_EQ(PathBox(*program), "") << run;
    Close(program);
    // Not the root (0), whose selection would show the whole document.
    const std::string ini = Utf8(dir_.ini());
    const std::string line = "树型框.现行选中项=-1";
    const size_t at = ini.find(line);
    ASSERT_NE(at, std::string::npos) << run << ini;
    EXPECT_TRUE(at + line.size() == ini.size() || ini[at + line.size()] == '\r') << run << ini;
  }
}

TEST_F(WindowSessionTest, OptionsAndSearchTextSurviveARestartTaggedControlsDoNot) {
  auto program = Start();
  for (const char* box :
       {"选择框数组独立节点", "选择框先行解码", "选择框单引号格式", "选择框数组从0开始",
        "选择框窗口置顶", "选择框文字图标", "选择框忽略大小写", "单选框正则"}) {
    Click(*program, box);
  }
  Find<QLineEdit>(*program, "编辑框查找文本")->setText(QStringLiteral("找 name"));
  Find<QLineEdit>(*program, "编辑框路径")->setText(QStringLiteral("typed.path"));
  Close(program);

  const std::string ini = Utf8(dir_.ini());
  for (const char* key : {"编辑框路径=", "编辑框路径数据=", "编辑框路径数据2=", "按钮粘贴JSON树"})
    EXPECT_EQ(ini.find(key), std::string::npos) << key;

  program = Start();
  EXPECT_FALSE(Find<QCheckBox>(*program, "选择框数组独立节点")->isChecked());
  for (const char* box : {"选择框先行解码", "选择框单引号格式", "选择框数组从0开始",
                          "选择框窗口置顶", "选择框文字图标", "选择框忽略大小写"}) {
    EXPECT_TRUE(Find<QCheckBox>(*program, box)->isChecked()) << box;
  }
  EXPECT_TRUE(Find<QRadioButton>(*program, "单选框正则")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(*program, "单选框默认")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(*program, "编辑框查找文本")->text(), QStringLiteral("找 name"));
  EXPECT_NE(PathBox(*program), "typed.path");
  // The restored options act on the window.
  EXPECT_TRUE(program->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  const qint64 textIcon = program->window().tree(1)->items().icons()[0].cacheKey();
  EXPECT_NE(textIcon, MakeIconSet(false)[0].cacheKey());
  for (int tab = 2; tab <= 7; ++tab)
    EXPECT_EQ(program->window().tree(tab)->items().icons()[0].cacheKey(), textIcon);
  Close(program);
}

TEST_F(WindowSessionTest, AShownUnchangedFileAndAnUnshownOneAreLeftAsTheyAre) {
  // GBK without a byte-order mark; tab 4's file goes on after a zero byte.
  const std::string gbk = "{\"\xC3\xFB\xB3\xC6\":\"\xD6\xB5\"}\r\n";
  const std::string withZero("[4]\0tail", 8);
  dir_.put(DataFileName(1), gbk);
  dir_.put(DataFileName(4), withZero);
  dir_.put(DataFileName(5), "[5]");
  dir_.put("岚溪·DUVOvidu.ini", Gb("[JSON树]\r\n树型框5.现行选中项=4"));
  const ino_t first = Inode(dir_.file(DataFileName(1)));
  const ino_t fifth = Inode(dir_.file(DataFileName(5)));

  auto program = Start();
  EXPECT_EQ(program->window().rawText(1), gbk);
  EXPECT_EQ(Utf8(program->window().tree(1)->itemText(1)), "名称:\"值\"");
  program->window().setCurrentTabNumber(4);
  EXPECT_EQ(program->window().rawText(4), "[4]");
  Close(program);

  EXPECT_EQ(dir_.get(DataFileName(1)), gbk);
  EXPECT_EQ(Inode(dir_.file(DataFileName(1))), first);
  EXPECT_EQ(dir_.get(DataFileName(4)), withZero);
  EXPECT_EQ(dir_.get(DataFileName(5)), "[5]");
  EXPECT_EQ(Inode(dir_.file(DataFileName(5))), fifth);
  // Tab 5 held nothing in this run, so its stored selection stays.
  EXPECT_NE(Utf8(dir_.ini()).find("树型框5.现行选中项=4"), std::string::npos);
}

TEST_F(WindowSessionTest, AChangedTabIsWrittenAndAnEmptiedOneGivesAnEmptyFile) {
  dir_.put(DataFileName(1), "[1]");
  auto program = Start();
  program->window().setCurrentTabNumber(2);
  Paste(*program, R"({"名":"值"})");
  program->window().setCurrentTabNumber(1);
  QGuiApplication::clipboard()->clear();
  Click(*program, "按钮粘贴JSON树");
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(2)), Gb(R"({"名":"值"})"));
  EXPECT_EQ(dir_.get(DataFileName(1)), "");
}

TEST_F(WindowSessionTest, ATabIsFilledFromItsFileOnlyTheFirstTimeItIsShown) {
  dir_.put(DataFileName(1), "[0]");
  dir_.put(DataFileName(2), kDocument);
  auto program = Start();
  MainWindow& window = program->window();
  EXPECT_EQ(PathBox(*program), "");
  window.setCurrentTabNumber(2);
  window.setCurrentItem(2, 3);
  EXPECT_EQ(PathBox(*program), "a.[2]");
  dir_.put(DataFileName(2), "[\"changed on disk\"]");
  window.setCurrentTabNumber(1);
  window.setCurrentItem(1, 1);
  EXPECT_EQ(PathBox(*program), "[1]");
  window.setCurrentTabNumber(2);
  EXPECT_EQ(window.rawText(2), kDocument);
  // The boxes follow the page to the item it already had.
  EXPECT_EQ(PathBox(*program), "a.[2]");
  EXPECT_EQ(ValueBox(*program), "2");
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(2)), "[\"changed on disk\"]");
}

TEST_F(WindowSessionTest, TheFirstActivationFillsTabOne) {
  dir_.put(DataFileName(1), kDocument);
  WindowProgram program(dir_.path(), DiskFileSystem());
  EXPECT_EQ(program.window().tree(1)->itemCount(), 0);
  program.window().show();
  program.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window()));
  EXPECT_EQ(program.window().rawText(1), kDocument);
  EXPECT_EQ(program.window().currentItem(1), 0);
  program.window().close();
}

TEST_F(WindowSessionTest, OptionClicksReloadTheCurrentTabAndKeepItsItem) {
  auto program = Start();
  MainWindow& window = program->window();
  const std::string text = R"({"a":[1,2,3,4,5,6,7,8,9,10,11,12,13],"b":"\u4e2d&lt;"})";
  Paste(*program, text);
  window.setCurrentItem(1, 12);
  EXPECT_EQ(Utf8(window.tree(1)->itemText(12)), "[11]:11");

  Click(*program, "选择框数组从0开始");
  EXPECT_EQ(Utf8(window.tree(1)->itemText(12)), "[10]:11");
  EXPECT_EQ(window.currentItem(1), 12);
  EXPECT_EQ(PathBox(*program), "a.[10]");
  EXPECT_EQ(ValueBox(*program), "11");

  Click(*program, "选择框数组独立节点");
  EXPECT_EQ(PathBox(*program), "a[10]");

  window.setCurrentItem(1, 15);
  EXPECT_EQ(ValueBox(*program), R"(\u4e2d&lt;)");
  Click(*program, "选择框先行解码");
  EXPECT_EQ(window.currentItem(1), 15);
  EXPECT_EQ(ValueBox(*program), "中<");
  // The tab keeps the text it was given, not the decoded one.
  EXPECT_EQ(window.rawText(1), Gb(text));
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(1)), Gb(text));
}

TEST_F(WindowSessionTest, ASecondInstanceReadsButSavesNothing) {
  dir_.put(DataFileName(1), "[1]");
  auto first = Start();
  auto second = Start();
  EXPECT_TRUE(second->window().windowTitle().endsWith(QStringLiteral("（只读）")));
  EXPECT_FALSE(first->window().windowTitle().endsWith(QStringLiteral("（只读）")));
  EXPECT_EQ(second->window().rawText(1), "[1]");
  Click(*second, "选择框数组从0开始");
  Paste(*second, "[2]");
  second->window().setCurrentTabNumber(3);
  Paste(*second, "[3]");
  const std::string before = dir_.ini();
  Close(second);
  EXPECT_EQ(dir_.ini(), before);
  EXPECT_EQ(dir_.get(DataFileName(1)), "[1]");
  EXPECT_FALSE(dir_.get(DataFileName(3)));

  Close(first);
  EXPECT_EQ(dir_.ini(), FirstCloseIni());
}

TEST_F(WindowSessionTest, ADataFileThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(dir_.file(DataFileName(2)));
  auto program = Start();
  program->window().setCurrentTabNumber(2);
  Paste(*program, "[2]");
  QString text;
  AnswerNextMessageBox(QStringLiteral("确定"), &text);
  Close(program);
  EXPECT_TRUE(text.contains(QString::fromStdString(dir_.file(DataFileName(2)))))
      << text.toStdString();
  // The rest of the save went through.
  EXPECT_NE(Utf8(dir_.ini()).find("选择夹=1"), std::string::npos);
}

TEST_F(WindowSessionTest, StoredNumbersOfAnyKindAreSafe) {
  dir_.put(DataFileName(1), kDocument);
  for (const char* page : {"7", "-1", "1e300", "-1e300", "nan", "inf", "abc", ""}) {
    SCOPED_TRACE(page);
    dir_.put("岚溪·DUVOvidu.ini",
             Gb(std::string("[JSON树]\r\n选择夹=") + page + "\r\n树型框.现行选中项=" + page));
    auto program = Start();
    EXPECT_EQ(program->window().currentTabNumber(), 1);
    EXPECT_EQ(program->window().rawText(1), kDocument);
    EXPECT_GT(program->window().tree(1)->itemCount(), 1);
    program.reset();  // without a save
  }
}

TEST_F(WindowSessionTest, StartFilesGoIntoTheCurrentTabAndTheTabsAfterIt) {
  dir_.put("岚溪·DUVOvidu.ini", Gb("[JSON树]\r\n选择夹=6"));
  dir_.put("a.json", "\xEF\xBB\xBF{\"名\":1}");  // UTF-8 with a byte-order mark
  dir_.put("b.json", "{\"\xC3\xFB\":2}");        // GBK
  QString text;
  AnswerNextMessageBox(QStringLiteral("确定"), &text);
  auto program = Start({dir_.file("a.json"), dir_.file("b.json"), dir_.file("missing.json")});
  EXPECT_TRUE(text.contains(QStringLiteral("missing.json"))) << text.toStdString();
  EXPECT_EQ(program->window().currentTabNumber(), 7);
  EXPECT_EQ(program->window().rawText(7), Gb("{\"名\":1}"));
  EXPECT_EQ(program->window().rawText(1), "{\"\xC3\xFB\":2}");
  EXPECT_EQ(program->window().tree(2)->itemCount(), 0);
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(7)), Gb("{\"名\":1}"));
  EXPECT_EQ(dir_.get(DataFileName(1)), "{\"\xC3\xFB\":2}");
  EXPECT_FALSE(dir_.get(DataFileName(2)));
}

TEST_F(WindowSessionTest, AHandedFileForABusyTabIsReportedNotDropped) {
  dir_.put("a.json", "[1]");
  dir_.put("b.json", "[2]");
  auto program = Start();
  program->window().reserveTab(2, true);  // a fetch will fill tab 2
  QString text;
  AnswerNextMessageBox(QStringLiteral("确定"), &text);
  const std::vector<std::string> lines = program->openHandedFiles(
      {{dir_.file("a.json"), std::nullopt}, {dir_.file("b.json"), std::nullopt}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("b.json"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("tab 2"), std::string::npos) << lines[0];
  EXPECT_EQ(program->window().rawText(1), "[1]");
  EXPECT_EQ(program->window().rawText(2), "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
  EXPECT_TRUE(text.contains(QStringLiteral("b.json"))) << text.toStdString();
  program->window().reserveTab(2, false);
  Close(program);
}

TEST_F(WindowSessionTest, TheSaveRunsOnceHoweverOftenTheWindowIsClosed) {
  auto program = Start();
  Paste(*program, "[1]");
  QSignalSpy closing(&program->window(), &MainWindow::closing);
  program->window().close();
  dir_.put(DataFileName(1), "kept");
  program->window().close();
  program->session().save();
  EXPECT_GE(closing.count(), 1);
  EXPECT_EQ(dir_.get(DataFileName(1)), "kept");
}

TEST_F(WindowSessionTest, ALoadedTextIsKeptForRecoveryUntilACleanCloseSavesIt) {
  dir_.put(DataFileName(1), "[1]");
  auto program = Start();
  program->window().setCurrentTabNumber(2);
  Paste(*program, R"({"名":"值"})");
  program->recovery().flush();
  EXPECT_EQ(dir_.get("恢复/" + DataFileName(2)), Gb(R"({"名":"值"})"));
  // Tab 1 holds what its data file holds: nothing to keep.
  EXPECT_FALSE(dir_.get("恢复/" + DataFileName(1)));
  EXPECT_EQ(program->session().notice(), nullptr);
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(2)), Gb(R"({"名":"值"})"));
  EXPECT_FALSE(std::filesystem::exists(dir_.file("恢复")));
}

TEST_F(WindowSessionTest, AfterAnUncleanEndTheNextStartPutsTheUnsavedTextsBack) {
  dir_.put(DataFileName(1), "[\"saved\"]");
  auto program = Start();
  Paste(*program, "[\"pasted 1\"]");
  program->window().setCurrentTabNumber(3);
  Paste(*program, kDocument);
  program->recovery().flush();
  program.reset();  // no close: as a crash ends it
  EXPECT_EQ(dir_.get(DataFileName(1)), "[\"saved\"]");

  program = Start();
  EXPECT_EQ(program->window().currentTabNumber(), 1);
  EXPECT_EQ(program->window().rawText(1), "[\"pasted 1\"]");
  EXPECT_EQ(program->window().rawText(3), kDocument);
  EXPECT_GT(program->window().tree(3)->itemCount(), 1);
  QLabel* notice = program->session().notice();
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->text(), QStringLiteral("上次未正常退出，已恢复未保存的内容：JSON树、树3"));
  // A click puts it away.
  QTest::mouseClick(notice, Qt::LeftButton);
  EXPECT_FALSE(notice->isVisible());
  Close(program);
  EXPECT_EQ(dir_.get(DataFileName(1)), "[\"pasted 1\"]");
  EXPECT_EQ(dir_.get(DataFileName(3)), kDocument);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("恢复")));

  // Nothing is left to recover.
  program = Start();
  EXPECT_EQ(program->session().notice(), nullptr);
  Close(program);
}

TEST_F(WindowSessionTest, ASecondInstanceNeitherKeepsNorTakesRecoveryCopies) {
  auto first = Start();
  Paste(*first, "[\"first\"]");
  first->recovery().flush();
  auto second = Start();
  EXPECT_EQ(second->window().rawText(1), "");
  EXPECT_EQ(second->session().notice(), nullptr);
  Paste(*second, "[\"second\"]");
  second->recovery().flush();
  Close(second);
  EXPECT_EQ(dir_.get("恢复/" + DataFileName(1)), "[\"first\"]");
  Close(first);
  EXPECT_EQ(dir_.get(DataFileName(1)), "[\"first\"]");
}

TEST_F(WindowSessionTest, ADataFileThatIsALinkStaysOneAndKeepsItsMode) {
  std::filesystem::create_directory(dir_.file("elsewhere"));
  dir_.put("elsewhere/tab2.json", "[\"old\"]");
  ::chmod(dir_.file("elsewhere/tab2.json").c_str(), 0600);
  std::filesystem::create_symlink("elsewhere/tab2.json", dir_.file(DataFileName(2)));
  auto program = Start();
  program->window().setCurrentTabNumber(2);
  EXPECT_EQ(program->window().rawText(2), "[\"old\"]");
  Paste(*program, "[\"new\"]");
  Close(program);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.file(DataFileName(2))));
  EXPECT_EQ(dir_.get("elsewhere/tab2.json"), "[\"new\"]");
  struct stat info {};
  ASSERT_EQ(::stat(dir_.file("elsewhere/tab2.json").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(WindowSessionTest, SettingsThatCannotBeSavedAreReported) {
  auto program = Start();
  Paste(*program, "[1]");
  // The settings file gives way to a folder: nothing can be written there.
  std::filesystem::remove(dir_.file("岚溪·DUVOvidu.ini"));
  std::filesystem::create_directory(dir_.file("岚溪·DUVOvidu.ini"));
  QString text;
  AnswerNextMessageBox(QStringLiteral("确定"), &text);
  EXPECT_TRUE(program->window().close());
  EXPECT_TRUE(text.contains(QStringLiteral("设置未能保存"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("岚溪·DUVOvidu.ini"))) << text.toStdString();
  EXPECT_TRUE(program->window().windowTitle().endsWith(QStringLiteral("（只读）")));
  // The data file was saved all the same.
  EXPECT_EQ(dir_.get(DataFileName(1)), "[1]");
  program.reset();
}

}  // namespace
}  // namespace keelnode
