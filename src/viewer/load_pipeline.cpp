// Loading a JSON text into a tab: parse it with the tab's document and show
// the document's items as the tab's tree.
#include <QCheckBox>

#include "json/escape_decoding.h"
#include "services/stopwatch.h"
#include "viewer/clipboard.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
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

void MainWindow::loadTab(std::string& text, bool useGivenText, int tabNumber, int selectedItem,
                         bool restoreSelection) {
  if (tabNumber < 1 || tabNumber > kTabCount) return;
  // The load lets the window handle events; a second load of the same
  // document from one of them would pull the store from under the first.
  if (loading_[tabNumber - 1] || reserved_[tabNumber - 1]) return;
  // A stopwatch per load: loads of other tabs may run inside this one.
  Stopwatch stopwatch;
  JsonTreeView* view = tree(tabNumber);
  {
    LoadingMark mark(loading_[tabNumber - 1]);
    view->showSingleItem(ProgramText("岚溪·JSON（正在解析...）"));
    // Painted now: the first turns the load hands the window may be a
    // while away.
    view->repaint();
    if (!useGivenText) text = ClipboardText();
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
}

}  // namespace keelnode
