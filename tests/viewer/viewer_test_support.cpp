#include "viewer_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <memory>

#include "services/code_page.h"
#include "viewer/fonts.h"

namespace keelnode::testing {
namespace {

// gtest_main creates no application; every viewer test needs one.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    InstallFontSubstitutes();
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "viewer_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void Poll(std::function<void(QWidget*)> act, std::shared_ptr<QElapsedTimer> waited) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && modal->isVisible()) {
    act(modal);
    return;
  }
  if (waited->elapsed() > 5000) {
    ADD_FAILURE() << "no modal window appeared";
    return;
  }
  QTimer::singleShot(10, [act = std::move(act), waited] { Poll(act, waited); });
}

}  // namespace

std::string Gb(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}
std::string Utf8(std::string_view gb) {
  return Gb18030ToUtf8(gb);
}

std::string Record(std::string_view label, int image, int value, int depth, int check,
                   int stateByte) {
  std::string bytes(label);
  bytes.push_back('\0');
  auto put32 = [&bytes](int32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put32(image);
  put32(image);
  put32(value);
  bytes.push_back(static_cast<char>(check));
  bytes.append(2, '\0');
  bytes.push_back(static_cast<char>(stateByte));
  put32(depth);
  return bytes;
}

void OnNextModal(std::function<void(QWidget*)> act) {
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  QTimer::singleShot(0, [act = std::move(act), waited] { Poll(act, waited); });
}

void AnswerNextMessageBox(const QString& caption, QString* text, QString* title) {
  OnNextModal([caption, text, title](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "the modal window is not a message box";
    if (text) *text = box->text();
    if (title) *title = box->windowTitle();
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == caption) {
        button->click();
        return;
      }
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    box->reject();
  });
}

}  // namespace keelnode::testing
