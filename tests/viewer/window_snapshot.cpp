// Saves a picture of the main window with a sample document loaded, for
// looking at the window without a screen (run it under xvfb-run).
//
//   keelnode_viewer_snapshot OUT.png [WIDTHxHEIGHT] [text-icons] [notes|input|viewer|viewer-wrap]
//
// "notes" and "input" picture the text dialog in its two modes instead;
// "viewer" the value viewer on the whole document, with a line found
// ("viewer-wrap": word wrap on). "goto PATH" types PATH into the path box
// and presses Enter; "path-menu" opens the tree menu's 复制路径为. Both
// picture the whole screen, so that a tooltip or a menu shows too.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "viewer/json_tree_view.h"
#include "viewer/main_window.h"
#include "viewer/notes_text.h"
#include "viewer/pretty_text_view.h"
#include "viewer/program_text.h"
#include "viewer/text_dialog.h"
#include "viewer/value_viewer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: keelnode_viewer_snapshot OUT.png [WxH] [text-icons] [notes|input]\n");
    return 64;
  }
  QApplication app(argc, argv);
  keelnode::MainWindow window;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QString dialog;
  QString goTo;
  bool pathMenu = false;
  for (int k = 2; k < argc; ++k) {
    const QString arg = QString::fromLocal8Bit(argv[k]);
    if (arg == QLatin1String("goto") && k + 1 < argc) {
      goTo = QString::fromUtf8(argv[++k]);
      continue;
    }
    if (arg == QLatin1String("path-menu")) {
      pathMenu = true;
      continue;
    }
    const QStringList size = arg.split(QLatin1Char('x'));
    if (arg == QLatin1String("text-icons")) {
      window.findChild<QAbstractButton*>(QStringLiteral("选择框文字图标"))->click();
    } else if (arg == QLatin1String("notes") || arg == QLatin1String("input") ||
               arg.startsWith(QLatin1String("viewer"))) {
      dialog = arg;
    } else if (size.size() == 2) {
      window.resize(size[0].toInt(), size[1].toInt());
    }
  }
  window.show();
  QGuiApplication::clipboard()->setText(QStringLiteral(
      R"({"status":"ok","data":[{"id":1,"name":"岚溪","city":"杭州","tags":["json","tree"],)"
      R"("geo":{"lat":30.27,"lng":120.15}},{"id":2,"name":"\u4e2d\u6587 &lt;b&gt;","city":null}],)"
      R"("total":2})"));
  window.pasteIntoCurrentTab();
  keelnode::JsonTreeView* tree = window.currentTree();
  tree->setCurrentItem(8);
  tree->expandAll();
  if (dialog.startsWith(QLatin1String("viewer"))) {
    tree->setCurrentItem(0);
    window.openValueViewer();
    auto* viewer = window.findChild<keelnode::ValueViewer*>();
    QObject::connect(viewer, &keelnode::ValueViewer::ready, viewer, [viewer, dialog] {
      if (dialog == QLatin1String("viewer-wrap")) viewer->view()->setWordWrap(true);
      viewer->findChild<QLineEdit*>(QStringLiteral("查看器查找文本"))
          ->setText(QStringLiteral("杭州"));
      viewer->findChild<QWidget*>(QStringLiteral("查看器查找栏"))->show();
      viewer->findNext(false);
    });
    QTimer::singleShot(800, [viewer, out] {
      viewer->grab().save(out);
      QApplication::quit();
    });
  } else if (!goTo.isEmpty() || pathMenu) {
    QTimer::singleShot(200, &window, [&window, goTo, pathMenu] {
      window.activateWindow();
      if (pathMenu) {
        auto* menu = window.findChild<QMenu*>(QStringLiteral("树菜单"));
        keelnode::JsonTreeView* tree = window.currentTree();
        const QRect item = tree->visualRect(tree->currentIndex());
        menu->popup(tree->viewport()->mapToGlobal(item.center()));
        for (QAction* action : menu->actions()) {
          if (action->menu()) menu->setActiveAction(action);
        }
        return;
      }
    });
    // After the activation, which would close a tooltip shown before it.
    QTimer::singleShot(700, &window, [&window, goTo] {
      if (goTo.isEmpty()) return;
      auto* box = window.findChild<QLineEdit*>(QStringLiteral("编辑框路径"));
      box->setText(goTo);
      QMetaObject::invokeMethod(box, "returnPressed");
    });
    QTimer::singleShot(1200, [out] {
      QGuiApplication::primaryScreen()->grabWindow(0).save(out);
      QApplication::quit();
    });
  } else if (!dialog.isEmpty()) {
    QTimer::singleShot(500, [out] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal) modal->grab().save(out);
      QApplication::quit();
    });
    QTimer::singleShot(0, &window, [&window, dialog] {
      const bool input = dialog == QLatin1String("input");
      keelnode::TextDialogOptions options;
      if (input) {
        options.prompt = keelnode::ProgramText("请粘贴或导入数据：\r\n多个文件各占一行");
        options.fileButtons = keelnode::kBothFileButtons;
      }
      const keelnode::TextDialogParams params = keelnode::MakeTextDialogParams(
          input ? keelnode::ProgramText("第一行\r\n第二行") : keelnode::NotesText(),
          input ? keelnode::DialogMode::kInput : keelnode::DialogMode::kInformation, options);
      keelnode::OpenTextDialog(params, &window, nullptr);
    });
  } else {
    QTimer::singleShot(500, [&window, out] {
      window.grab().save(out);
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
