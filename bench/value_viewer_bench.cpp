// Opens a whole document in the value viewer offscreen and scrolls it.
//
//   QT_QPA_PLATFORM=offscreen keelnode_value_viewer_bench FILE
//
// Reports the time from opening until the pretty text is shown, the longest
// stretch the window's thread went without serving its events meanwhile,
// and the time per painted page while paging down and jumping through it.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/input_text.h"
#include "viewer/pretty_text_view.h"
#include "viewer/value_viewer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fputs("usage: keelnode_value_viewer_bench FILE\n", stderr);
    return 64;
  }
  std::string bytes, error;
  if (!keelnode::ReadWholeFile(argv[1], bytes, &error)) {
    std::fprintf(stderr, "keelnode_value_viewer_bench: %s\n", error.c_str());
    return 2;
  }
  std::string text = keelnode::InputBytesToText(bytes);
  bytes = std::string();
  const double megabytes = text.size() / 1048576.0;

  QElapsedTimer clock;
  clock.start();
  auto* viewer = new keelnode::ValueViewer(std::move(text), {});
  viewer->resize(900, 700);
  viewer->show();
  const qint64 shownAt = clock.elapsed();
  // The window's thread notes each turn it gets while the worker runs.
  qint64 last = clock.elapsed(), longest = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  tick.start(5);
  while (!viewer->isReady())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  const qint64 readyAt = clock.elapsed();
  tick.stop();

  keelnode::PrettyTextView* view = viewer->view();
  QScrollBar* bar = view->verticalScrollBar();
  const int pages = 500;
  clock.restart();
  for (int k = 0; k < pages; ++k) {
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    view->viewport()->repaint();
  }
  const double perPage = clock.elapsed() / static_cast<double>(pages);
  clock.restart();
  const int jumps = 200;
  for (int k = 0; k < jumps; ++k) {
    bar->setValue(static_cast<int>(static_cast<qint64>(bar->maximum()) * (k * 37 % jumps) / jumps));
    view->viewport()->repaint();
  }
  const double perJump = clock.elapsed() / static_cast<double>(jumps);

  std::printf("%s: %.1f MB, %d lines\n", argv[1], megabytes, view->lineCount());
  std::printf("  window shown   %6lld ms\n", static_cast<long long>(shownAt));
  std::printf("  text shown     %6lld ms (%.0f MB/s), longest pause %lld ms\n",
              static_cast<long long>(readyAt), megabytes / (readyAt / 1000.0),
              static_cast<long long>(longest));
  std::printf("  page down      %6.2f ms per painted page\n", perPage);
  std::printf("  jump           %6.2f ms per painted page\n", perJump);
  delete viewer;
  return 0;
}
