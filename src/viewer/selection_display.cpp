// The path, value and decoded-value boxes for the current item of the
// current tab, and the commands that copy them.
#include <QCheckBox>
#include <QLineEdit>

#include "json/escape_decoding.h"
#include "viewer/clipboard.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/program_text.h"
#include "viewer/text_box.h"

namespace keelnode {

bool MainWindow::arraysAsNodes() const {
  return arrayNodes_->isChecked();
}

std::string MainWindow::pathBoxText() const {
  // While it shows the path it was given, the box gives back exactly those
  // bytes (the trip through UTF-16 would replace invalid ones).
  const QString shown = pathBox_->text();
  return shown == ToQString(shownPath_) ? shownPath_ : FromQString(shown);
}

void MainWindow::showSelection(bool suppressRead) {
  // A document in the middle of its load is not read.
  if (isLoading(currentTabNumber())) return;
  std::string path = currentDocument().pathOfNode(currentTree()->currentItem() + 1);
  if (!arraysAsNodes()) path = pathParser_.normalisePath(path, 0);
  pathBox_->setText(ToQString(path));
  shownPath_ = std::move(path);
  if (!suppressRead) readValueAtPath();
}

void MainWindow::readValueAtPath() {
  if (isLoading(currentTabNumber())) return;
  const std::string typed = pathBoxText();
  const std::string internal = arraysAsNodes() ? typed : pathParser_.normalisePath(typed, 1);
  // The value box gives back what it was just given, so the value is
  // decoded before it moves into the box.
  std::string value = currentDocument().valueAtPath(internal, 0);
  std::string decoded = decodeHtmlEntities(decodeUnicodeEscapes(value, false));
  valueBox_->setProgramText(std::move(value));
  decodedBox_->setProgramText(std::move(decoded));
}

void MainWindow::copyPath() const {
  SetClipboardText(pathBoxText());
}

void MainWindow::copyValue() const {
  SetClipboardText(valueBox_->programText());
}

void MainWindow::copyDecodedValue() const {
  SetClipboardText(decodedBox_->programText());
}

}  // namespace keelnode
