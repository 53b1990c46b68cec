// Searching the current tab's tree by its item labels.
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "viewer/controls.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/message_box.h"
#include "viewer/program_text.h"
#include "viewer/ui_yield.h"

namespace keelnode {

void MainWindow::searchTree(bool backward) {
  // The caption changes on the button of the direction, whichever control
  // started the search.
  QPushButton* button = backward ? previous_ : static_cast<QPushButton*>(next_);
  button->setText(QStringLiteral("寻找中.."));
  button->repaint();  // the scan hands the window no turn

  JsonTreeView* view = currentTree();
  searchList_.Load(view->content());
  int start = view->currentItem();
  // The second pass covers the whole list from the other end.
  const int wrapStart = backward ? view->itemCount() : -1;
  int found = -1;
  bool ranAway = false;
  for (int pass = 0; pass < 2 && !ranAway; ++pass) {
    const std::string text = FromQString(searchText_->text());
    const LabelSearch search{
        .text = text,
        .mode = MatchModeOf(!plainMode_->isChecked(), wildcardMode_->isChecked()),
        .letterCase = ignoreCase_->isChecked() ? LetterCase::kIgnore : LetterCase::kExact};
    // Every label contains the empty text; a plain search for nothing
    // finds nothing instead of jumping to the next item.
    if (search.mode != MatchMode::kPlain || !text.empty()) {
      const Result<int, RegexError> result = searchList_.Find(
          search, start, backward ? SearchDirection::kBackward : SearchDirection::kForward);
      ranAway = !result.ok();
      found = result.value_or(-1);
    }
    if (found != -1 || start == wrapStart) break;
    start = wrapStart;
  }
  // The copy is only needed while the search runs.
  searchList_.Load({});

  if (ranAway) {
    // Not "找不到": the labels after the one it ran away on were never tried.
    button->setText(backward ? QStringLiteral("上一个") : QStringLiteral("下一个"));
    ShowMessage(ProgramText(kRunawaySearchMessage), kMessageOk);
    return;
  }
  if (found == -1) {
    button->setText(QStringLiteral("找不到"));
    QPointer<QPushButton> alive(button);
    PauseWithEvents(notFoundPause_);
    if (!alive) return;
  } else {
    view->setCurrentItem(found);
    view->setFocus();
  }
  button->setText(backward ? QStringLiteral("上一个") : QStringLiteral("下一个"));
}

void MainWindow::searchTextFromCurrentItem() {
  const JsonTreeView* view = currentTree();
  const int item = view->currentItem();
  if (item >= 0) searchText_->setText(ToQString(view->itemText(item)));
}

}  // namespace keelnode
