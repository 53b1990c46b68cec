#include "viewer/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "viewer/program_text.h"

namespace keelnode {
namespace {

struct ButtonKind {
  const char* caption;
  QMessageBox::ButtonRole role;
  int result;
};

std::vector<ButtonKind> ButtonsFor(int set) {
  const ButtonKind ok{"确定", QMessageBox::AcceptRole, kResultOk};
  const ButtonKind cancel{"取消", QMessageBox::RejectRole, kResultCancel};
  const ButtonKind retry{"重试", QMessageBox::AcceptRole, kResultRetry};
  const ButtonKind yes{"是", QMessageBox::YesRole, kResultYes};
  const ButtonKind no{"否", QMessageBox::NoRole, kResultNo};
  switch (set) {
    case kMessageOkCancel:
      return {ok, cancel};
    case kMessageAbortRetryIgnore:
      return {{"中止", QMessageBox::RejectRole, kResultAbort},
              retry,
              {"忽略", QMessageBox::AcceptRole, kResultIgnore}};
    case kMessageYesNoCancel:
      return {yes, no, cancel};
    case kMessageYesNo:
      return {yes, no};
    case kMessageRetryCancel:
      return {retry, cancel};
    default:
      return {ok};
  }
}

QMessageBox::Icon IconFor(int style) {
  switch (style & 0x70) {
    case kMessageIconError:
      return QMessageBox::Critical;
    case kMessageIconQuestion:
      return QMessageBox::Question;
    case kMessageIconWarning:
      return QMessageBox::Warning;
    default:
      return QMessageBox::Information;
  }
}

}  // namespace

int ShowMessage(std::string_view text, int style, std::string_view caption) {
  QMessageBox box;
  box.setWindowTitle(caption.empty() ? QStringLiteral("岚溪：") : ToQString(caption));
  box.setText(ToQString(text));
  box.setIcon(IconFor(style));
  // System-modal on the original platform: above everything, the program's
  // topmost window included.
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);

  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (const ButtonKind& kind : ButtonsFor(style & 0x0F)) {
    buttons.emplace_back(box.addButton(QString::fromUtf8(kind.caption), kind.role), kind.result);
  }
  const size_t preferred = static_cast<size_t>((style >> 8) & 0x03);
  box.setDefaultButton(
      static_cast<QPushButton*>(buttons[preferred < buttons.size() ? preferred : 0].first));

  box.exec();
  for (const auto& [button, result] : buttons) {
    if (box.clickedButton() == button) return result;
  }
  return buttons.size() == 1 ? buttons.front().second : kResultCancel;
}

}  // namespace keelnode
