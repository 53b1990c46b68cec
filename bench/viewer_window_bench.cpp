// Drives the main window offscreen: pastes a whole document into a tab and
// searches its tree from the first item to the last.
//
//   QT_QPA_PLATFORM=offscreen keelnode_viewer_bench FILE
//
// FILE is UTF-8 JSON (e.g. `keelnode_gen records 100 > records.json`).
// Reports the time from the paste click until the tree has been painted,
// the longest stretch without a repaint while loading, the time of a
// forward search from the first item that lands on the last one and of a
// backward search from there that lands on the fourth item, the time to
// select the root's first child (whose value is most of the document), and
// the process's peak memory.
#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>

#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/program_text.h"

namespace {

// Notes when the window paints, to find the longest pause while loading.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QObject* parent) : QObject(parent) { clock_.start(); }
  void reset() {
    last_ = clock_.elapsed();
    longest_ = 0;
    paints_ = 0;
  }
  qint64 longest() const { return std::max(longest_, clock_.elapsed() - last_); }
  int paints() const { return paints_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
      const qint64 now = clock_.elapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
      ++paints_;
    }
    return false;
  }

 private:
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
  int paints_ = 0;
};

long PeakMegabytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

template <typename Act>
qint64 Milliseconds(Act&& act) {
  QElapsedTimer timer;
  timer.start();
  act();
  return timer.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keelnode_viewer_bench FILE\n");
    return 64;
  }
  QApplication app(argc, argv);
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "keelnode_viewer_bench: cannot read %s\n", argv[1]);
    return 2;
  }
  const QByteArray bytes = file.readAll();
  QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes));

  keelnode::MainWindow window;
  window.show();
  QCoreApplication::processEvents();
  auto* watch = new PaintWatch(&app);
  app.installEventFilter(watch);
  auto* paste = window.findChild<QAbstractButton*>(QStringLiteral("按钮粘贴JSON树"));
  auto* next = window.findChild<QAbstractButton*>(QStringLiteral("按钮下一个"));
  auto* previous = window.findChild<QAbstractButton*>(QStringLiteral("按钮上一个"));
  auto* searchText = window.findChild<QLineEdit*>(QStringLiteral("编辑框查找文本"));
  keelnode::JsonTreeView* tree = window.currentTree();

  watch->reset();
  const qint64 load = Milliseconds([&] {
    paste->click();
    tree->viewport()->repaint();
  });
  const qint64 longestPause = watch->longest();
  const int paints = watch->paints();
  const int items = tree->itemCount();
  std::printf("document      %.1f MB, %d tree items\n", bytes.size() / 1048576.0, items);
  std::printf("paste to tree %lld ms (%d paints while loading, longest pause %lld ms)\n", load,
              paints, longestPause);
  if (items < 2) return 1;

  window.setNotFoundPause(0);
  tree->setCurrentItem(0);
  searchText->setText(keelnode::ToQString(tree->itemText(items - 1)));
  const qint64 forward = Milliseconds([&] { next->click(); });
  const bool landedLast = tree->currentItem() == items - 1;
  const int early = std::min(3, items - 1);
  searchText->setText(keelnode::ToQString(tree->itemText(early)));
  const qint64 backward = Milliseconds([&] { previous->click(); });
  const bool landedEarly = tree->currentItem() == early;
  const qint64 select = Milliseconds([&] { tree->setCurrentItem(1); });
  std::printf("search first to last item %lld ms%s\n", forward, landedLast ? "" : " (MISSED)");
  std::printf("search last to item %d    %lld ms%s\n", early, backward,
              landedEarly ? "" : " (MISSED)");
  std::printf(
      "select item 1 (value %.1f MB) %lld ms\n",
      window.document(1).valueAtPath(window.document(1).pathOfNode(2), 0).size() / 1048576.0,
      select);
  std::printf("peak memory   %ld MB\n", PeakMegabytes());
  return landedLast && landedEarly ? 0 : 1;
}
