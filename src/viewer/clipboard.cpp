#include "viewer/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "services/code_page.h"
#include "viewer/program_text.h"

namespace keelnode {

std::string ClipboardText() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return {};
  std::string text = FromQString(clipboard->text());
  text.resize(CutAtZero(text).size());
  return text;
}

void SetClipboardText(std::string_view text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard) clipboard->setText(ToQString(CutAtZero(text)));
}

}  // namespace keelnode
