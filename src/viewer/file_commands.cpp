// Files into tabs: the open and recent-files commands, and what is dropped
// on the window. Reading and decoding a file is the program's business; the
// window only says what was asked for.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <algorithm>

#include "services/code_page.h"
#include "viewer/main_window.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

constexpr int kShownRecentFiles = 10;

QStringList LocalFiles(const QMimeData& data) {
  QStringList files;
  if (!data.hasUrls()) return files;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

bool Wanted(const QMimeData* data) {
  return data != nullptr && (!LocalFiles(*data).isEmpty() || data->hasText());
}

}  // namespace

void MainWindow::buildFileMenu() {
  fileMenu_ = new QMenu(this);
  fileMenu_->setObjectName(QStringLiteral("文件菜单"));
  QAction* open = fileMenu_->addAction(QStringLiteral("打开文件…"));
  open->setShortcut(QKeySequence::Open);
  open->setShortcutContext(Qt::WindowShortcut);
  addAction(open);  // Ctrl+O works while the menu is closed
  connect(open, &QAction::triggered, this, &MainWindow::openFileRequested);
  recentMenu_ = fileMenu_->addMenu(QStringLiteral("最近打开的文件"));
  recentMenu_->setObjectName(QStringLiteral("最近文件菜单"));
  setRecentFiles({});

  // The tree menu opens only over an item; the tab strip is always there.
  treeMenu_->addSeparator();
  treeMenu_->addAction(open);
  treeMenu_->addMenu(recentMenu_);
  QTabBar* strip = tabs_->tabBar();
  strip->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(strip, &QWidget::customContextMenuRequested, this,
          [this, strip](const QPoint& at) { fileMenu_->popup(strip->mapToGlobal(at)); });
  setAcceptDrops(true);
}

void MainWindow::setRecentFiles(const QStringList& paths) {
  for (QAction* action : recentMenu_->actions()) {
    removeAction(action);
    delete action;
  }
  const int shown = std::min<int>(paths.size(), kShownRecentFiles);
  for (int k = 0; k < shown; ++k) {
    const QString path = paths[k];
    // "&1" ... "&9", "1&0": the digit is also the key in the open menu.
    const QString number = k < 9 ? QStringLiteral("&%1").arg(k + 1) : QStringLiteral("1&0");
    QAction* action = recentMenu_->addAction(number + QLatin1Char(' ') + path);
    connect(action, &QAction::triggered, this, [this, path] { emit recentFileRequested(path); });
  }
  if (shown == 0) recentMenu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

void MainWindow::loadDroppedText(const QString& text) {
  std::string programText = FromQString(text);
  programText.resize(CutAtZero(programText).size());
  loadTab(programText, true, currentTabNumber(), 0, false);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (Wanted(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (Wanted(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  if (!Wanted(data)) return;
  event->acceptProposedAction();
  // Loaded once the drop is over: a long load must not keep the program
  // the drag came from waiting for its answer.
  const QStringList files = LocalFiles(*data);
  const QString text = files.isEmpty() ? data->text() : QString();
  QMetaObject::invokeMethod(
      this,
      [this, files, text] {
        if (!files.isEmpty()) {
          emit filesDropped(files);
        } else {
          loadDroppedText(text);
        }
      },
      Qt::QueuedConnection);
}

}  // namespace keelnode
