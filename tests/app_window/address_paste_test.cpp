#include "app/address_paste.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <future>
#include <memory>

#include "app/window_program.h"
#include "app_window_support.h"
#include "services/text_shortening.h"
#include "settings/file_system.h"
#include "test_server.h"
#include "viewer/json_tree_view.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using nettest::answer;
using nettest::httpResponse;
using nettest::RefusingPort;
using nettest::TestServer;
using testing::DataDir;
using testing::DataFileName;
using testing::Gb;
using testing::ModalGuard;

const QString kPasteCaption = QStringLiteral("粘贴JSON数据到树（右键单击可读取网址数据）");
const std::string kUtf8 = "{\"\xE5\x90\x8D\":\"\xE5\x80\xBC\"}";  // {"名":"值"}
const std::string kGbk = "{\"\xC3\xFB\":\"\xD6\xB5\"}";

TEST(CharsetModeForTest, OnlyASingleModifierPicksACharset) {
  EXPECT_EQ(CharsetModeFor(0), CharsetMode::Auto);
  EXPECT_EQ(CharsetModeFor(1), CharsetMode::Utf8);
  EXPECT_EQ(CharsetModeFor(2), CharsetMode::RawBytes);
  EXPECT_EQ(CharsetModeFor(4), CharsetMode::Ansi);
  for (int combined : {3, 5, 6, 7})
    EXPECT_EQ(CharsetModeFor(combined), CharsetMode::Auto);
}

TEST(LooksLikeAddressTest, TheFirstFourCharactersInAnyCase) {
  EXPECT_TRUE(LooksLikeAddress("http://a"));
  EXPECT_TRUE(LooksLikeAddress("HTTPS://a"));
  EXPECT_TRUE(LooksLikeAddress("hTtPx"));
  EXPECT_FALSE(LooksLikeAddress(" http://a"));
  EXPECT_FALSE(LooksLikeAddress("htt"));
  EXPECT_FALSE(LooksLikeAddress("ftp://a"));
  EXPECT_FALSE(LooksLikeAddress(""));
}

class AddressPasteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<WindowProgram>(dir_.path(), DiskFileSystem());
    program_->start({});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program_->window()));
  }

  MainWindow& window() { return program_->window(); }
  QAbstractButton* button() {
    return window().findChild<QAbstractButton*>(QStringLiteral("按钮粘贴JSON树"));
  }
  static void SetClipboard(const std::string& programText) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(testing::Utf8(programText)));
  }
  // The right button on the paste button, as the user presses it.
  void RightClick(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mousePress(button(), Qt::RightButton, modifiers);
  }
  void PasteText(std::string_view utf8) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8.data(), utf8.size()));
    button()->click();
  }

  DataDir dir_;
  std::unique_ptr<WindowProgram> program_;
};

struct ModeCase {
  Qt::KeyboardModifiers modifiers;
  std::string body;
  std::string headers;
  std::string expected;  // the tab's raw text afterwards
};

TEST_F(AddressPasteTest, TheModifierKeysPickHowTheBodyBecomesText) {
  const std::string gbkDeclared = "Content-Type: text/plain; charset=gbk\r\n";
  const std::string utf8Declared = "Content-Type: text/plain; charset=utf-8\r\n";
  const std::vector<ModeCase> cases = {
      // A wrong declaration is overruled by the key held.
      {Qt::ControlModifier, kUtf8, gbkDeclared, kGbk},
      {Qt::AltModifier, kGbk, utf8Declared, kGbk},
      // Shift: the bytes as they came.
      {Qt::ShiftModifier, kUtf8, "", kUtf8},
      // Nothing or a combination: detected.
      {Qt::NoModifier, kUtf8, "", kGbk},
      {Qt::ControlModifier | Qt::AltModifier, kUtf8, "", kGbk},
      {Qt::ControlModifier | Qt::ShiftModifier, kUtf8, "", kGbk},
  };
  ModalGuard noMessages;
  for (const ModeCase& mode : cases) {
    SCOPED_TRACE(static_cast<int>(mode.modifiers));
    TestServer server(answer(httpResponse(200, mode.body, mode.headers)));
    SetClipboard(server.url("/doc"));
    RightClick(mode.modifiers);
    EXPECT_EQ(window().rawText(1), mode.expected);
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(button()->text(), kPasteCaption);
  }
  // A capital scheme is an address too.
  TestServer server(answer(httpResponse(200, "[1]")));
  std::string address = server.url("/");
  address.replace(0, 4, "HTTP");
  SetClipboard(address);
  RightClick();
  EXPECT_EQ(window().rawText(1), "[1]");
  EXPECT_EQ(noMessages.closed(), 0);
}

TEST_F(AddressPasteTest, AClipboardWithoutAnAddressGetsAMessageAndNothingElse) {
  PasteText("[\"kept\"]");
  for (const char* text : {"ftp://example.org/", " http://example.org/", "", "ht"}) {
    SCOPED_TRACE(text);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
    QString message;
    QString title;
    int buttons = 0;
    testing::OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      message = box->text();
      title = box->windowTitle();
      buttons = static_cast<int>(box->buttons().size());
      box->buttons().front()->click();
    });
    RightClick();
    EXPECT_EQ(message, QStringLiteral("请先复制一个网址！程序将读取该网址处的JSON数据"));
    EXPECT_EQ(title, QStringLiteral("信息："));
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(window().rawText(1), "[\"kept\"]");
  }
}

TEST_F(AddressPasteTest, AFailedFetchSaysWhyAndChangesNothing) {
  PasteText("[\"kept\"]");
  const int items = window().tree(1)->itemCount();
  // The message the next right click shows.
  auto messageOf = [&](const std::string& address) {
    SetClipboard(address);
    QString message;
    testing::AnswerNextMessageBox(QStringLiteral("确定"), &message);
    RightClick();
    return message.toStdString();
  };
  RefusingPort refusing;
  EXPECT_EQ(messageOf("http://127.0.0.1:" + std::to_string(refusing.port()) + "/"),
            "读取网址失败：无法连接到服务器。标签页内容没有改动。");
  // An empty body is no document either.
  TestServer empty(answer(httpResponse(200, "")));
  EXPECT_EQ(messageOf(empty.url("/")), "读取网址失败：返回的内容为空。标签页内容没有改动。");
  // "http" without a scheme the fetch knows: nothing is fetched.
  EXPECT_EQ(messageOf("httpx://127.0.0.1/"),
            "读取网址失败：网址须以 http:// 或 https:// 开头。标签页内容没有改动。");
  EXPECT_EQ(window().rawText(1), "[\"kept\"]");
  EXPECT_EQ(window().tree(1)->itemCount(), items);
  EXPECT_EQ(button()->text(), kPasteCaption);
}

// A server that holds its answer until the test lets it go.
class HeldServer {
 public:
  HeldServer()
      : released_(release_.get_future().share()),
        server_([released = released_](const std::string&) -> std::optional<std::string> {
          released.wait();
          return httpResponse(200, "[\"fetched\"]");
        }) {}
  ~HeldServer() { letGo(); }
  void letGo() {
    if (!let_) release_.set_value();
    let_ = true;
  }
  TestServer& server() { return server_; }

 private:
  std::promise<void> release_;
  std::shared_future<void> released_;
  bool let_ = false;
  TestServer server_;
};

TEST_F(AddressPasteTest, WhileAFetchRunsTheWindowAnswersButItsTabIsHeld) {
  PasteText("[\"before\"]");
  HeldServer held;
  const std::string address = held.server().url("/" + std::string(60, 'x'));
  SetClipboard(address);
  QString caption;
  bool ran = false;
  QTimer::singleShot(0, [&] {
    ran = true;
    caption = button()->text();
    EXPECT_TRUE(program_->addressPaste().fetching());
    RightClick();  // a second fetch is ignored
    PasteText("[\"pasted\"]");
    window().findChild<QAbstractButton*>(QStringLiteral("选择框数组从0开始"))->click();
    EXPECT_EQ(window().rawText(1), "[\"before\"]");
    // The result still goes to the tab it was asked for.
    window().setCurrentTabNumber(2);
    PasteText("[\"tab 2\"]");
    held.letGo();
  });
  RightClick();
  ASSERT_TRUE(ran);
  EXPECT_EQ(caption,
            QStringLiteral("正在读取 ") + QString::fromStdString(ShortenMiddle(address, 50)));
  EXPECT_LT(caption.size(), 70);
  EXPECT_EQ(button()->text(), kPasteCaption);
  EXPECT_FALSE(program_->addressPaste().fetching());
  EXPECT_EQ(held.server().requests().size(), 1u);
  EXPECT_EQ(window().rawText(1), "[\"fetched\"]");
  EXPECT_EQ(window().rawText(2), "[\"tab 2\"]");
  // Once the fetch is over, the tab loads again.
  window().setCurrentTabNumber(1);
  PasteText("[\"after\"]");
  EXPECT_EQ(window().rawText(1), "[\"after\"]");
}

TEST_F(AddressPasteTest, AResultThatArrivesAfterTheCloseIsDropped) {
  PasteText("[\"before\"]");
  HeldServer held;
  SetClipboard(held.server().url("/"));
  QTimer::singleShot(0, [&] {
    window().close();
    held.letGo();
  });
  RightClick();
  EXPECT_EQ(window().rawText(1), "[\"before\"]");
  EXPECT_EQ(dir_.get(DataFileName(1)), "[\"before\"]");
  // And no new fetch starts on a closed window.
  TestServer server(answer(httpResponse(200, "[1]")));
  SetClipboard(server.url("/"));
  RightClick();
  EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace keelnode
