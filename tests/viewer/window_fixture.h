// A main window shown on the offscreen platform, with helpers to reach its
// controls by name and to drive them.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <memory>
#include <string>
#include <string_view>

#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer_test_support.h"

namespace keelnode::testing {

class WindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    window_ = std::make_unique<MainWindow>();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void TearDown() override { window_.reset(); }

  MainWindow& window() { return *window_; }

  template <typename Control>
  Control* find(const char* name) {
    auto* control = window_->findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  void click(const char* button) {
    QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
  }

  void setClipboard(std::string_view utf8) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8.data(), utf8.size()));
  }
  QString clipboard() const { return QGuiApplication::clipboard()->text(); }

  // Puts `utf8` on the clipboard and clicks the paste button.
  void paste(std::string_view utf8) {
    setClipboard(utf8);
    click("按钮粘贴JSON树");
  }

  JsonTreeView* tree() { return window_->currentTree(); }
  // The current tree's item labels, in UTF-8.
  std::string label(int item) { return Utf8(tree()->itemText(item)); }

 private:
  std::unique_ptr<MainWindow> window_;
};

}  // namespace keelnode::testing
