#include "app_window_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <fstream>
#include <iterator>

#include "viewer_test_support.h"

namespace keelnode::testing {

DataDir::DataDir() : path_(QFile::encodeName(dir_.path()).toStdString()) {
  EXPECT_TRUE(dir_.isValid());
}

void DataDir::put(std::string_view name, std::string_view bytes) const {
  std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << name;
}

std::optional<std::string> DataDir::get(std::string_view name) const {
  std::ifstream in(file(name), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string DataFileName(int tabNumber) {
  return "JSON数据" + (tabNumber == 1 ? std::string() : std::to_string(tabNumber)) + ".txt";
}

std::string FirstCloseIni() {
  std::string text = "[JSON树]";
  for (const char* line : {"树型框7.现行选中项=0", "树型框6.现行选中项=0",
                           "树型框5.现行选中项=0", "树型框4.现行选中项=0",
                           "树型框3.现行选中项=0", "树型框2.现行选中项=0",
                           "树型框.现行选中项=0",  "选择夹=0",
                           "按钮读取.标记=",       "选择框数组独立节点=真",
                           "选择框数组从0开始=假", "选择框文字图标=假",
                           "选择框窗口置顶=假",    "编辑框查找文本=要在JSON树中查找的文本",
                           "按钮下一个.标记=",     "单选框默认=真",
                           "按钮上一个.标记=",     "单选框通配=假",
                           "单选框正则=假",        "选择框忽略大小写=假",
                           "按钮粘贴.标记=",       "选择框单引号格式=假",
                           "选择框先行解码=假"}) {
    text += "\r\n";
    text += line;
  }
  return Gb(text);
}

ModalGuard::ModalGuard() {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ++closed_;
      modal->close();
    }
  });
  timer_.start();
}

}  // namespace keelnode::testing
