// Loading a JSON text into a tab: parse it with the tab's document and show
// the document's items as the tab's tree.
#include <QCheckBox>
#include <string>

#include "json/escape_decoding.h"
#include "services/memory_budget.h"
#include "services/stopwatch.h"
#include "viewer/clipboard.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/message_box.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

// Marks a tab as loading for the lifetime of one load.
class LoadingMark {
 public:
  explicit LoadingMark(bool& flag) : flag_(flag) { flag_ = true; }
  ~LoadingMark() { flag_ = false; }
  LoadingMark(const LoadingMark&) = delete;
  LoadingMark& operator=(const LoadingMark&) = delete;

 private:
  bool& flag_;
};

void TellLoadRefused(const MemoryShortfall& shortfall) {
  ShowMessage(
      ProgramText("内存不足，无法载入：这份文档约需 " +
                  std::to_string(WholeMebibytes(shortfall.estimate.peakBytes)) +
                  " MB 内存，现在可用 " + std::to_string(WholeMebibytes(shortfall.availableBytes)) +
                  " MB。标签页内容没有改动。"),
      kMessageOk | kMessageIconWarning, ProgramText("信息："));
}

}  // namespace

void MainWindow::pasteIntoCurrentTab() {
  std::string text;
  loadTab(text, false, currentTabNumber(), 0, false);
}

void MainWindow::reloadCurrentTab() {
  const int tab = currentTabNumber();
  const int item = currentItem(tab);
  std::string text = rawText(tab);
  loadTab(text, true, tab, 0, false);
  // Changing the current item reads the value afresh (the options change
  // values too); the display then only needs the path.
  setCurrentItem(tab, item);
  showSelection(true);
}

bool MainWindow::loadTab(std::string& text, bool useGivenText, int tabNumber, int selectedItem,
                         bool restoreSelection) {
  if (tabNumber < 1 || tabNumber > kTabCount) return false;
  // The load lets the window handle events; a second load of the same
  // document from one of them would pull the store from under the first.
  if (loading_[tabNumber - 1] || reserved_[tabNumber - 1]) return false;
  // A stopwatch per load: loads of other tabs may run inside this one.
  Stopwatch stopwatch;
  JsonTreeView* view = tree(tabNumber);
  if (!useGivenText) text = ClipboardText();
  // Refused before it takes anything, rather than killed by the kernel
  // halfway with the tab's text unsaved.
  if (const auto fits = CheckLoadFits(text, LoadHolder::kWindow); !fits) {
    if (restoreSelection) {
      // At start-up: the tab keeps its text (and saves it back) unshown.
      view->showSingleItem(ProgramText("岚溪·JSON（内存不足，未载入）"));
    } else {
      TellLoadRefused(fits.error());
    }
    return false;
  }
  {
    LoadingMark mark(loading_[tabNumber - 1]);
    view->showSingleItem(ProgramText("岚溪·JSON（正在解析...）"));
    // Painted now: the first turns the load hands the window may be a
    // while away.
    view->repaint();
    view->setRawText(text);
    if (decodeFirst_->isChecked()) text = decodeHtmlEntities(decodeUnicodeEscapes(text, false));

    JsonDocument& doc = document(tabNumber);
    doc.load(text, zeroBased_->isChecked(), singleQuotes_->isChecked());
    view->setContent(doc.buildTreeItems().TakeBytes());
  }
  // From here on nothing hands the window a turn.

  view->setItemText(
      0, ProgramText("岚溪·JSON（载入耗时 ") + stopwatch.ElapsedText() + ProgramText("）"));
  if (restoreSelection) view->setCurrentItem(selectedItem);
  view->expandItem(0);
  emit tabLoaded(tabNumber);
  return true;
}

}  // namespace keelnode
