// Paths beyond the path box's own forms: the current item's path copied in
// another tool's syntax, and a path typed into the box gone to.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>

#include "json/typed_path.h"
#include "viewer/clipboard.h"
#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"

namespace keelnode {
namespace {

struct CopyCommand {
  const char* caption;
  PathSyntax syntax;
  Qt::Key key;
};

constexpr CopyCommand kCopyCommands[] = {
    {"JavaScript", PathSyntax::kJavaScript, Qt::Key_1},
    {"jq", PathSyntax::kJq, Qt::Key_2},
    {"JSONPath", PathSyntax::kJsonPath, Qt::Key_3},
    {"JSON Pointer", PathSyntax::kJsonPointer, Qt::Key_4},
    {"Python", PathSyntax::kPython, Qt::Key_5},
};

}  // namespace

void MainWindow::buildPathMenu() {
  treeMenu_->addSeparator();
  QMenu* copyAs = treeMenu_->addMenu(QStringLiteral("复制路径为"));
  for (const CopyCommand& command : kCopyCommands) {
    QAction* action = copyAs->addAction(QString::fromUtf8(command.caption));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | command.key));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);  // the keys work while the menu is closed
    const PathSyntax syntax = command.syntax;
    connect(action, &QAction::triggered, this, [this, syntax] { copyPathAs(syntax); });
  }
  QAction* goTo = treeMenu_->addAction(QStringLiteral("转到路径"));
  goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  goTo->setShortcutContext(Qt::WindowShortcut);
  addAction(goTo);
  connect(goTo, &QAction::triggered, this, [this] { focusPathBox(); });
}

void MainWindow::copyPathAs(PathSyntax syntax) const {
  const int tab = currentTabNumber();
  const int item = currentItem(tab);
  if (isLoading(tab) || item < 0) return;
  SetClipboardText(WritePath(documents_.at(tab - 1), item + 1, syntax));
}

void MainWindow::goToTypedPath() {
  if (isLoading(currentTabNumber())) return;
  const PathSyntax boxForm = arraysAsNodes() ? PathSyntax::kInternal : PathSyntax::kCompact;
  const int node = FindTypedPath(currentDocument(), pathBoxText(), boxForm);
  if (node < 1 || node > currentTree()->itemCount()) {
    QToolTip::showText(pathBox_->mapToGlobal(QPoint(0, pathBox_->height())),
                       QStringLiteral("找不到此路径"), pathBox_);
    return;
  }
  JsonTreeView* view = currentTree();
  const bool already = view->currentItem() == node - 1;
  view->setCurrentItem(node - 1);
  // The box shows the item's own path again, also when it was current.
  if (already) showSelection(false);
}

void MainWindow::focusPathBox() {
  pathBox_->setFocus(Qt::ShortcutFocusReason);
  pathBox_->selectAll();
}

}  // namespace keelnode
