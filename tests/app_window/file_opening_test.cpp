// Files into the window's tabs from the window itself: Ctrl+O (the dialog
// through its test hook), the recent-files menu, and drops.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <memory>

#include "app/window_program.h"
#include "app_window_support.h"
#include "settings/file_system.h"
#include "viewer/json_tree_view.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::AnswerNextMessageBox;
using testing::DataDir;
using testing::FirstCloseIni;
using testing::Gb;
using testing::Utf8;

// UTF-8, as most files are: CJK text, an escape, an address with a query.
constexpr std::string_view kOrder =
    R"({"名称":"岚溪","note":"\u5c9a","url":"https://example.com/a?x=1&y=2"})";

class FileOpeningTest : public ::testing::Test {
 protected:
  std::unique_ptr<WindowProgram> Start(const std::vector<std::string>& files = {}) {
    auto program = std::make_unique<WindowProgram>(dir_.path(), DiskFileSystem());
    program->setFileChooser([this](QWidget&) {
      ++dialogs_;
      return chosen_;
    });
    program->start(files);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->window()));
    return program;
  }
  static void Close(std::unique_ptr<WindowProgram>& program) {
    EXPECT_TRUE(program->window().close());
    program.reset();
  }
  QString Put(std::string_view name, std::string_view bytes) {
    files_.put(name, bytes);
    return QFile::decodeName(QByteArray::fromStdString(files_.file(name)));
  }
  // A message box leaves another window active; shortcuts need this one.
  static void Keys(WindowProgram& program, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    program.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window()));
    QTest::keyClick(&program.window(), key, modifiers);
  }
  static std::string Label(WindowProgram& program, int tab, int item) {
    return Utf8(program.window().tree(tab)->itemText(item));
  }
  static QStringList RecentEntries(WindowProgram& program) {
    QStringList entries;
    auto* menu = program.window().findChild<QMenu*>(QStringLiteral("最近文件菜单"));
    for (QAction* action : menu->actions())
      entries << action->text() + (action->isEnabled() ? "" : " (off)");
    return entries;
  }
  // Dropped on the tree, where a drop lands most: it passes the drop on.
  static void Drop(WindowProgram& program, QMimeData& data) {
    QWidget* target = program.window().currentTree()->viewport();
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();  // the load follows the drop
  }

  DataDir dir_;
  DataDir files_;
  QStringList chosen_;
  int dialogs_ = 0;
};

TEST_F(FileOpeningTest, CtrlOLoadsTheChosenFileIntoTheCurrentTabAsTheCommandLineReadsIt) {
  const QString path = Put("订单.json", kOrder);
  auto program = Start();
  program->window().setCurrentTabNumber(3);
  chosen_ = {path};
  Keys(*program, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs_, 1);
  EXPECT_EQ(Label(*program, 3, 1), "名称:\"岚溪\"");
  EXPECT_EQ(Label(*program, 3, 3), "url:\"https://example.com/a?x=1&y=2\"");
  // The tab keeps the text in the program's code page, as `keelnode FILE`.
  EXPECT_EQ(program->window().rawText(3),
            Gb(R"({"名称":"岚溪","note":"\u5c9a","url":"https://example.com/a?x=1&y=2"})"));
  EXPECT_EQ(RecentEntries(*program), QStringList({"&1 " + path}));

  // A dialog left with nothing chosen changes nothing.
  chosen_.clear();
  program->window().setCurrentTabNumber(4);
  Keys(*program, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs_, 2);
  EXPECT_EQ(program->window().tree(4)->itemCount(), 0);
  Close(program);
}

TEST_F(FileOpeningTest, DroppedFilesFillTheCurrentTabAndTheOnesAfterItDroppedTextTheCurrentTab) {
  const QString a = Put("a.json", R"({"a":"甲"})");
  const QString b = Put("b.json", R"({"b":"乙"})");
  const QString c = Put("c.json", R"({"c":"丙"})");
  auto program = Start();
  program->window().setCurrentTabNumber(6);
  QMimeData files;
  // A link from a browser among them is no local file and is left out.
  files.setUrls({QUrl::fromLocalFile(a), QUrl(QStringLiteral("https://example.com/x.json")),
                 QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)});
  Drop(*program, files);
  EXPECT_EQ(Label(*program, 6, 1), "a:\"甲\"");
  EXPECT_EQ(Label(*program, 7, 1), "b:\"乙\"");
  EXPECT_EQ(Label(*program, 1, 1), "c:\"丙\"");  // after the last tab comes the first
  EXPECT_EQ(RecentEntries(*program), QStringList({"&1 " + c, "&2 " + b, "&3 " + a}));

  program->window().setCurrentTabNumber(2);
  QMimeData text;
  text.setText(QStringLiteral(R"({"拖入":"<b>文字</b>"})"));
  Drop(*program, text);
  EXPECT_EQ(Label(*program, 2, 1), "拖入:\"<b>文字</b>\"");
  EXPECT_EQ(program->window().tree(3)->itemCount(), 0);

  // Anything else is not taken.
  QMimeData picture;
  picture.setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QCoreApplication::sendEvent(&program->window(), &enter);
  EXPECT_FALSE(enter.isAccepted());
  Close(program);
}

TEST_F(FileOpeningTest, WhatCannotBeLoadedIsSaidInChineseAndChangesNothing) {
  auto program = Start();
  QMimeData text;
  text.setText(QStringLiteral(R"({"原来":1})"));
  Drop(*program, text);
  const std::string before = program->window().rawText(1);

  struct Case {
    QString path;
    const char* says;
  };
  std::string big(3 << 20, ' ');
  big.front() = '[';
  big.back() = ']';
  const QString folder = QFile::decodeName(QByteArray::fromStdString(files_.path()));
  const Case cases[] = {
      {folder + QStringLiteral("/不存在.json"), "：文件不存在"},
      {folder, "：这是一个文件夹，不是文件"},
      {Put("大.json", big), "文件太大，无法载入："},
  };
  qputenv("KEELNODE_MEMORY_AVAILABLE", QByteArray::number(16 << 20));
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.path.toStdString());
    QString said;
    AnswerNextMessageBox(QStringLiteral("确定"), &said);
    chosen_ = {bad.path};
    Keys(*program, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(said.contains(QString::fromUtf8(bad.says))) << "said: " << said.toStdString();
    EXPECT_TRUE(said.contains(bad.path)) << said.toStdString();
    EXPECT_EQ(program->window().rawText(1), before);
    EXPECT_EQ(Label(*program, 1, 1), "原来:1");
  }
  qunsetenv("KEELNODE_MEMORY_AVAILABLE");
  EXPECT_EQ(RecentEntries(*program), QStringList({"（无） (off)"}));
  Close(program);
}

TEST_F(FileOpeningTest, TheLastTenFilesComeBackInTheirOwnSectionNewestFirst) {
  std::vector<QString> paths;
  for (int k = 0; k < 12; ++k)
    paths.push_back(Put("文件" + std::to_string(k) + ".json", "[" + std::to_string(k) + "]"));
  auto program = Start();
  for (int k = 0; k < 12; ++k) {
    chosen_ = {paths[k]};
    Keys(*program, Qt::Key_O, Qt::ControlModifier);
  }
  // Opening one again moves it to the top instead of listing it twice.
  chosen_ = {paths[5]};
  Keys(*program, Qt::Key_O, Qt::ControlModifier);
  Close(program);

  const std::string ini = dir_.ini();
  // The section the other programs share is untouched; the list is apart.
  ASSERT_EQ(ini.substr(0, FirstCloseIni().find("\r\n")), Gb("[JSON树]"));
  const size_t own = ini.find("\r\n[keelnode]");
  ASSERT_NE(own, std::string::npos);
  EXPECT_EQ(ini.find(Gb("最近文件")), ini.find(Gb("最近文件"), own));
  EXPECT_NE(Utf8(ini).find("最近文件1=" + paths[5].toStdString() +
                           "\r\n最近文件2=" + paths[11].toStdString()),
            std::string::npos);
  EXPECT_EQ(Utf8(ini).find("最近文件11"), std::string::npos);

  program = Start();
  const QStringList entries = RecentEntries(*program);
  ASSERT_EQ(entries.size(), 10);
  EXPECT_EQ(entries[0], "&1 " + paths[5]);
  EXPECT_EQ(entries[1], "&2 " + paths[11]);
  EXPECT_EQ(entries[9], "1&0 " + paths[2]);
  // The second entry opens into the current tab.
  program->window().setCurrentTabNumber(5);
  program->window().findChild<QMenu*>(QStringLiteral("最近文件菜单"))->actions().at(1)->trigger();
  EXPECT_EQ(program->window().rawText(5), "[11]");
  EXPECT_EQ(RecentEntries(*program)[0], "&1 " + paths[11]);
  Close(program);
}

// UTF-16 with its byte-order mark, as some editors on other systems save.
std::string Utf16Bytes(std::u16string_view units, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST_F(FileOpeningTest, Utf16FilesOpenInEitherByteOrderBrokenOnesWithoutHarm) {
  const std::u16string document = u"{\"名称\":\"岚溪\",\"html\":\"<p class='a'>段落</p>\"}";
  const QString little = Put("little.json", Utf16Bytes(document, false));
  const QString big = Put("big.json", Utf16Bytes(document, true));
  std::u16string lone = u"[\"中_\"]";
  lone[3] = 0xD83D;  // the first half of a pair whose second half is missing
  // An odd length: the last unit lost its second byte.
  std::string odd = Utf16Bytes(lone, false) + "\x5D";
  const QString broken = Put("broken.json", odd);
  auto program = Start();
  chosen_ = {little, big, broken};
  Keys(*program, Qt::Key_O, Qt::ControlModifier);
  for (int tab : {1, 2}) {
    EXPECT_EQ(Label(*program, tab, 1), "名称:\"岚溪\"") << tab;
    EXPECT_EQ(Label(*program, tab, 2), "html:\"<p class='a'>段落</p>\"") << tab;
  }
  EXPECT_EQ(Utf8(program->window().rawText(3)), "[\"中?\"]?");
  EXPECT_EQ(Label(*program, 3, 1), "[1]:\"中?\"");
  Close(program);
}

TEST_F(FileOpeningTest, FilesNamedAtTheStartAreRecentFilesToo) {
  const QString path = Put("start.json", kOrder);
  auto program = Start({QFile::encodeName(path).toStdString()});
  EXPECT_EQ(Label(*program, 1, 1), "名称:\"岚溪\"");
  EXPECT_EQ(RecentEntries(*program), QStringList({"&1 " + path}));
  Close(program);
}

}  // namespace
}  // namespace keelnode
