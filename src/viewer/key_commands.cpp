// Keys users expect of a tree viewer: find, find again, switch tabs, and
// copy and paste while a tree has the focus.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"

namespace keelnode {

void MainWindow::bindToTrees(QAction* action, const QKeySequence& keys) {
  action->setShortcut(keys);
  // Only while a tree has the focus: the boxes keep their own copy and
  // paste.
  action->setShortcutContext(Qt::WidgetShortcut);
  for (JsonTreeView* view : trees_)
    view->addAction(action);
}

void MainWindow::buildKeyCommands() {
  const auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& keys) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);  // the keys work while the menu is closed
    return action;
  };
  treeMenu_->addSeparator();
  QAction* paste = treeMenu_->addAction(QStringLiteral("粘贴到当前树"));
  bindToTrees(paste, QKeySequence(Qt::CTRL | Qt::Key_V));
  connect(paste, &QAction::triggered, this, [this] { pasteIntoCurrentTab(); });
  connect(add(treeMenu_, QStringLiteral("查找文本"), QKeySequence(Qt::CTRL | Qt::Key_F)),
          &QAction::triggered, this, [this] { focusSearchText(); });
  connect(add(treeMenu_, QStringLiteral("查找下一个"), QKeySequence(Qt::Key_F3)),
          &QAction::triggered, this, [this] { searchTree(false); });
  connect(add(treeMenu_, QStringLiteral("查找上一个"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
          &QAction::triggered, this, [this] { searchTree(true); });
  QMenu* switchTo = treeMenu_->addMenu(QStringLiteral("切换到"));
  for (int tab = 1; tab <= kTabCount; ++tab) {
    const QString caption = tabs_->tabText(tab - 1).trimmed();
    connect(add(switchTo, caption, QKeySequence(Qt::CTRL | (Qt::Key_0 + tab))), &QAction::triggered,
            this, [this, tab] { setCurrentTabNumber(tab); });
  }
}

void MainWindow::focusSearchText() {
  searchText_->setFocus(Qt::ShortcutFocusReason);
  searchText_->selectAll();
}

}  // namespace keelnode
