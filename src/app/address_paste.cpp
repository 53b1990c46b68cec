#include "app/address_paste.h"

#include <QPushButton>
#include <string>

#include "net/fetch_address.h"
#include "services/ascii_case.h"
#include "services/memory_budget.h"
#include "services/text_shortening.h"
#include "viewer/clipboard.h"
#include "viewer/main_window.h"
#include "viewer/message_box.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

// Clears a flag when the scope ends, however it ends.
class Holding {
 public:
  Holding(MainWindow& window, int tabNumber, bool& fetching)
      : window_(window), tab_(tabNumber), fetching_(fetching) {
    fetching_ = true;
    window_.reserveTab(tab_, true);
  }
  ~Holding() {
    window_.reserveTab(tab_, false);
    fetching_ = false;
  }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  MainWindow& window_;
  int tab_;
  bool& fetching_;
};

// Why the fetch gave nothing, in the window's words (UTF-8).
const char* FailureReason(FetchFailure failure) {
  switch (failure) {
    case FetchFailure::kNoRoad:
      return "网址须以 http:// 或 https:// 开头";
    case FetchFailure::kUnavailable:
      return "网络组件无法使用";
    case FetchFailure::kUnreachable:
      return "无法连接到服务器";
    case FetchFailure::kTls:
      return "安全连接失败（证书不受信任或握手出错）";
    case FetchFailure::kTimeout:
      return "等待超时";
    case FetchFailure::kTooLarge:
      return "文档太大";
    case FetchFailure::kTransfer:
      break;
  }
  return "传输出错";
}

void ShowFetchFailure(const char* reason) {
  ShowMessage(ProgramText(std::string("读取网址失败：") + reason + "。标签页内容没有改动。"),
              kMessageOk, ProgramText("信息："));
}

}  // namespace

CharsetMode CharsetModeFor(int modifierBits) {
  switch (modifierBits) {
    case 1:
      return CharsetMode::Utf8;
    case 4:
      return CharsetMode::Ansi;
    case 2:
      return CharsetMode::RawBytes;
    default:
      return CharsetMode::Auto;
  }
}

bool LooksLikeAddress(std::string_view text) {
  return StartsWithNoCase(text, "http");
}

AddressPaste::AddressPaste(MainWindow& window) : window_(window) {
  connect(&window_, &MainWindow::pasteFromAddressRequested, this,
          [this](int modifierBits) { run(modifierBits); });
  connect(&window_, &MainWindow::closing, this, [this] { closed_ = true; });
}

void AddressPaste::run(int modifierBits) {
  if (fetching_ || closed_) return;
  const std::string address = ClipboardText();
  if (!LooksLikeAddress(address)) {
    ShowMessage(ProgramText("请先复制一个网址！程序将读取该网址处的JSON数据"), kMessageOk,
                ProgramText("信息："));
    return;
  }
  auto* button = window_.findChild<QPushButton*>(QStringLiteral("按钮粘贴JSON树"));
  const QString caption = button->text();
  button->setText(ToQString(ProgramText("正在读取 ") + ShortenMiddle(address, 50)));
  const int tab = window_.currentTabNumber();
  FetchResult fetched = Fail(FetchFailure::kTransfer);
  {
    Holding hold(window_, tab, fetching_);
    FetchSettings settings;
    settings.transfer.maxTextBytes = InflateLimitForLoads(LoadHolder::kWindow);
    fetched = fetchAddress(address, CharsetModeFor(modifierBits), settings);
  }
  button->setText(caption);
  if (closed_) return;
  if (!fetched) return ShowFetchFailure(FailureReason(fetched.error()));
  if (fetched->empty()) return ShowFetchFailure("返回的内容为空");
  window_.loadTab(*fetched, true, tab, 0, false);
}

}  // namespace keelnode
