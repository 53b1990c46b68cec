#include "app/window_program.h"

#include <unistd.h>

#include <QTimer>

#include "app/input_text.h"
#include "app/program_messages.h"
#include "app/window_arguments.h"
#include "viewer/program_text.h"

namespace keelnode {

WindowProgram::WindowProgram(const std::string& dataDir, FileSystem& dataFiles)
    : writable_(store_.Open(SettingsFilePath(dataDir))),
      files_(dataFiles, dataDir),
      // Written from a thread of its own: the machine's files, whatever
      // the data files go through.
      recovery_(DiskFileSystem(), dataDir),
      session_(window_, store_, files_, recovery_, writable_),
      addressPaste_(window_) {}

void WindowProgram::start(const std::vector<std::string>& files) {
  window_.show();
  // Not left to the first activation alone: without a window manager the
  // window may never be activated.
  session_.fillCurrentTab();
  std::vector<StartFile> named;
  for (const std::string& file : files)
    named.push_back({file, std::nullopt});
  for (const Unreadable& failure : loadFiles(named))
    warnAbout(failure);
}

std::vector<std::string> WindowProgram::openHandedFiles(const std::vector<StartFile>& files) {
  if (window_.isMinimized()) window_.showNormal();
  window_.raise();
  window_.activateWindow();
  const std::vector<Unreadable> failures = loadFiles(files);
  std::vector<std::string> lines;
  for (const Unreadable& failure : failures) {
    lines.push_back(failure.busyTab != 0 ? "not loaded " + failure.file + ": tab " +
                                               std::to_string(failure.busyTab) + " is busy loading"
                                         : "cannot read " + failure.file + ": " + failure.reason);
    QTimer::singleShot(0, &window_, [failure] { warnAbout(failure); });
  }
  return lines;
}

std::vector<WindowProgram::Unreadable> WindowProgram::loadFiles(
    const std::vector<StartFile>& files) {
  std::vector<Unreadable> failures;
  const int first = window_.currentTabNumber();
  for (size_t k = 0; k < files.size(); ++k) {
    const StartFile& file = files[k];
    std::string bytes;
    std::string error;
    bool read = true;
    if (file.content) {
      bytes = *file.content;
    } else if (file.name == "-") {
      read = ReadWholeDescriptor(STDIN_FILENO, bytes, &error);
    } else {
      read = ReadWholeFile(file.name, bytes, &error);
    }
    if (!read) {
      failures.push_back({file.name, error});
      continue;
    }
    const int tabNumber = (first - 1 + static_cast<int>(k)) % MainWindow::kTabCount + 1;
    // The window ignores a load of a tab that is loading or waits for a
    // fetch; the sender must hear that its file did not arrive.
    if (window_.isLoading(tabNumber) || window_.isReserved(tabNumber)) {
      failures.push_back({file.name, {}, tabNumber});
      continue;
    }
    std::string text = InputBytesToText(bytes);
    window_.loadTab(text, true, tabNumber, 0, false);
  }
  return failures;
}

void WindowProgram::warnAbout(const Unreadable& failure) {
  if (failure.busyTab != 0) {
    ShowWarning(ProgramText("第") + std::to_string(failure.busyTab) +
                ProgramText("页正忙，未能载入文件 ") + InputBytesToText(failure.file));
    return;
  }
  ShowWarning(ProgramText("无法读取文件 ") + InputBytesToText(failure.file) + ProgramText("：") +
              InputBytesToText(failure.reason));
}

}  // namespace keelnode
