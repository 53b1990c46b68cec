// Where the window opens: where it was at the last close, on a screen that
// is still there.
#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <memory>

#include "app/window_program.h"
#include "app_window_support.h"
#include "settings/file_system.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::DataDir;
using testing::FirstCloseIni;
using testing::Gb;
using testing::Utf8;

const QSize kMinimum(640, 400);
// A laptop's screen (less its panel) with a monitor to its right.
const QRect kLaptop(0, 0, 1366, 740);
const QRect kMonitor(1366, -200, 1920, 1080);

TEST(PlaceOnScreensTest, AWindowStaysWhereItWasWhileItsTopEdgeIsOnAScreen) {
  const QRect onMonitor(2000, 100, 1020, 739);
  EXPECT_EQ(PlaceOnScreens(onMonitor, {kLaptop, kMonitor}, kMinimum), onMonitor);
  // Half off the laptop's left edge, but with its top edge to take hold of.
  const QRect halfOff(-500, 40, 900, 600);
  EXPECT_EQ(PlaceOnScreens(halfOff, {kLaptop, kMonitor}, kMinimum), halfOff);
  // Too large for the screen it is on: smaller, and onto that screen.
  EXPECT_EQ(PlaceOnScreens(QRect(50, 50, 1020, 739), {QRect(0, 0, 800, 800)}, kMinimum),
            QRect(0, 50, 800, 739));
  EXPECT_EQ(PlaceOnScreens(QRect(1500, 0, 2400, 900), {kLaptop, kMonitor}, kMinimum),
            QRect(1366, -20, 1920, 900));
}

TEST(PlaceOnScreensTest, AWindowOnAScreenThatIsGoneComesToThePrimary) {
  // The monitor was taken away.
  EXPECT_EQ(PlaceOnScreens(QRect(2000, 100, 1020, 700), {kLaptop}, kMinimum),
            QRect(50, 40, 1020, 700));
  // Far outside anything, and only its bottom on a screen: the top edge,
  // where it is taken hold of, is not.
  EXPECT_EQ(PlaceOnScreens(QRect(-40000, 90000, 800, 600), {kLaptop, kMonitor}, kMinimum),
            QRect(50, 50, 800, 600));
  EXPECT_EQ(PlaceOnScreens(QRect(100, -580, 800, 600), {kLaptop}, kMinimum),
            QRect(50, 50, 800, 600));
  // Too large for the screen it lands on: it shrinks, not below the minimum.
  EXPECT_EQ(PlaceOnScreens(QRect(5000, 5000, 3000, 2000), {kLaptop}, kMinimum),
            QRect(0, 0, 1366, 740));
  EXPECT_EQ(PlaceOnScreens(QRect(5000, 5000, 3000, 2000), {QRect(0, 0, 600, 300)}, kMinimum),
            QRect(0, 0, 640, 400));
  // No screens known: as saved.
  EXPECT_EQ(PlaceOnScreens(QRect(5000, 5000, 800, 600), {}, kMinimum), QRect(5000, 5000, 800, 600));
}

class WindowPlaceTest : public ::testing::Test {
 protected:
  std::unique_ptr<WindowProgram> Start() {
    auto program = std::make_unique<WindowProgram>(dir_.path(), DiskFileSystem());
    program->start({});
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->window()));
    return program;
  }
  static void Close(std::unique_ptr<WindowProgram>& program) {
    EXPECT_TRUE(program->window().close());
    program.reset();
  }
  DataDir dir_;
};

TEST_F(WindowPlaceTest, TheWindowOpensWhereItWasClosed) {
  auto program = Start();
  // The first time at the design's place and size, made to fit the screen
  // when it is smaller (the test screen is 800 pixels wide).
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_EQ(screen, QRect(0, 0, 800, 800));
  EXPECT_EQ(program->window().pos(), QPoint(0, 50));
  EXPECT_EQ(program->window().size(), QSize(800, 739));
  Close(program);
  EXPECT_EQ(dir_.ini(), FirstCloseIni());  // that place is not written

  program = Start();
  program->window().move(120, 80);
  program->window().resize(700, 500);
  Close(program);
  const std::string ini = dir_.ini();
  ASSERT_EQ(ini.substr(0, FirstCloseIni().size()), FirstCloseIni());
  EXPECT_EQ(Utf8(ini.substr(FirstCloseIni().size())),
            "\r\n[keelnode]\r\n窗口左边=120\r\n窗口顶边=80\r\n窗口宽度=700\r\n窗口高度=500"
            "\r\n窗口最大化=假");

  program = Start();
  EXPECT_EQ(program->window().pos(), QPoint(120, 80));
  EXPECT_EQ(program->window().size(), QSize(700, 500));
  // Moved back to where it opens the first time, it still says so.
  program->window().move(50, 50);
  program->window().resize(1020, 739);
  Close(program);
  EXPECT_NE(Utf8(dir_.ini()).find("窗口左边=50\r\n窗口顶边=50\r\n窗口宽度=1020"),
            std::string::npos);
}

TEST_F(WindowPlaceTest, APlaceOutsideEveryScreenMovesOntoThePrimary) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  dir_.put("岚溪·DUVOvidu.ini",
           FirstCloseIni() + Gb("\r\n[keelnode]\r\n窗口左边=25000\r\n窗口顶边=-9000\r\n"
                                "窗口宽度=700\r\n窗口高度=450\r\n窗口最大化=假"));
  auto program = Start();
  EXPECT_EQ(program->window().pos(), screen.topLeft() + QPoint(50, 50));
  EXPECT_EQ(program->window().size(), QSize(700, 450));
  EXPECT_TRUE(screen.intersects(program->window().frameGeometry()));
  Close(program);
  EXPECT_NE(Utf8(dir_.ini()).find("窗口左边=50\r\n窗口顶边=50"), std::string::npos);
}

}  // namespace
}  // namespace keelnode
