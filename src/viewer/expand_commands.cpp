// Opening and closing many tree items at once: all under the current item,
// all closed, or the whole tree open down to a level.
#include <QAction>
#include <QMenu>
#include <string>

#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/message_box.h"
#include "viewer/program_text.h"
#include "viewer/tree_expansion.h"

namespace keelnode {
namespace {

// The view lays out open items level by level on the stack; one command
// opens no deeper than this below the current item.
constexpr int kMaxLevelsOpened = 1000;

QAction* AddCommand(QWidget* owner, QMenu* menu, const QString& caption,
                    const QList<QKeySequence>& keys) {
  QAction* action = menu->addAction(caption);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  owner->addAction(action);  // the keys work while the menu is closed
  return action;
}

}  // namespace

void MainWindow::buildExpandMenu() {
  treeMenu_->addSeparator();
  // Plus and minus come with or without Shift depending on the keyboard.
  connect(AddCommand(this, treeMenu_, QStringLiteral("展开全部子项"),
                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal)}),
          &QAction::triggered, this, [this] { expandAllUnderCurrent(); });
  connect(AddCommand(this, treeMenu_, QStringLiteral("全部折叠"),
                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Underscore)}),
          &QAction::triggered, this, [this] { collapseAllItems(); });
  QMenu* toLevel = treeMenu_->addMenu(QStringLiteral("展开到"));
  for (int level = 1; level <= 5; ++level) {
    const QString caption = QStringLiteral("展开到第%1层").arg(level);
    connect(AddCommand(this, toLevel, caption,
                       {QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_0 + level))}),
            &QAction::triggered, this, [this, level] { expandToLevel(level); });
  }
}

bool MainWindow::applyExpansion(const ExpansionPlan& plan, bool collapseOthers) {
  if (plan.rowsShown > maxRowsShown_) {
    ShowMessage(
        ProgramText("要展开的行太多（" + std::to_string(plan.rowsShown) + " 行），一次最多展开 " +
                    std::to_string(maxRowsShown_) + " 行，请在较小的分支上展开。"),
        kMessageIconWarning);
    return false;
  }
  currentTree()->expandItems(plan.items, collapseOthers);
  return true;
}

bool MainWindow::expandAllUnderCurrent() {
  const int item = currentItem(currentTabNumber());
  if (isLoading(currentTabNumber()) || item < 0) return false;
  return applyExpansion(PlanSubtree(currentTree()->items(), item, kMaxLevelsOpened), false);
}

void MainWindow::collapseAllItems() {
  if (isLoading(currentTabNumber())) return;
  currentTree()->expandItems({}, true);
}

bool MainWindow::expandToLevel(int level) {
  if (isLoading(currentTabNumber())) return false;
  return applyExpansion(PlanToLevel(currentTree()->items(), level), true);
}

}  // namespace keelnode
