// The path, value and decoded-value boxes for the current item of the
// current tab, and the commands that copy them.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <memory>

#include "json/escape_decoding.h"
#include "json/item_display.h"
#include "json/value_heads.h"
#include "viewer/clipboard.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/program_text.h"
#include "viewer/text_box.h"
#include "viewer/value_viewer.h"

namespace keelnode {
namespace {

// A view and what keeps its bytes alive.
struct StoredText {
  std::shared_ptr<const std::string> holder;
  std::string_view text;
};

}  // namespace

bool MainWindow::arraysAsNodes() const {
  return arrayNodes_->isChecked();
}

PathSpelling MainWindow::pathSpelling() const {
  return arraysAsNodes() ? PathSpelling::kArrayNodes : PathSpelling::kCompact;
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
  std::string path =
      PathBoxText(currentDocument(), currentTree()->currentItem() + 1, pathSpelling());
  pathBox_->setText(ToQString(path));
  shownPath_ = std::move(path);
  if (!suppressRead) readValueAtPath();
}

void MainWindow::readValueAtPath() {
  if (isLoading(currentTabNumber())) return;
  const JsonDocument& document = currentDocument();
  const int node = NodeOfPathBoxText(document, pathBoxText(), pathSpelling());
  const std::string_view stored =
      node == -1 ? std::string_view() : document.store().valueView(node);
  const ValueForm form = ValueFormOf(node);
  const size_t limit = valueBox_->displayLimit();
  if (limit == 0 || stored.size() <= 2 * limit) {
    // The value box gives back what it was just given, so the value is
    // decoded before it moves into the box.
    std::string value = ValueBoxText(document, node);
    std::string decoded = DecodeValue(value);
    valueBox_->setProgramText(std::move(value));
    decodedBox_->setProgramText(std::move(decoded));
    return;
  }
  // A long value: the boxes show only its beginning, so only that much is
  // cleaned and decoded; the copy commands make the whole from the stored
  // text, kept alive for them (the document may be reloaded meanwhile).
  // Four bytes past the limit tell whether a character ends at it.
  ValueHeads heads = ValueHeadsOf(stored, form, limit + 4);
  std::shared_ptr<const std::string> holder = document.store().Holder(stored);
  if (!holder) holder = std::make_shared<const std::string>(stored);
  auto source = std::make_shared<const StoredText>(StoredText{holder, stored});
  if (heads.value.whole) {
    valueBox_->setProgramText(std::move(heads.value.text));
  } else {
    valueBox_->setProgramTextHead(std::move(heads.value.text),
                                  [source, form] { return WholeValue(source->text, form); });
  }
  if (heads.decoded.whole) {
    decodedBox_->setProgramText(std::move(heads.decoded.text));
  } else {
    decodedBox_->setProgramTextHead(std::move(heads.decoded.text), [source, form] {
      return DecodeValue(WholeValue(source->text, form));
    });
  }
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

void MainWindow::openValueViewer() {
  FindOptions find;
  find.ignoreCase = ignoreCase_->isChecked();
  if (wildcardMode_->isChecked()) find.mode = FindMode::Wildcard;
  if (patternMode_->isChecked()) find.mode = FindMode::Pattern;
  auto* viewer = new ValueViewer(valueBox_->programText(), find, this);
  viewer->setWindowTitle(QStringLiteral("值查看器 - %1").arg(pathBox_->text()));
  viewer->show();
}

}  // namespace keelnode
