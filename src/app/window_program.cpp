#include "app/window_program.h"

#include <unistd.h>

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
  const int first = window_.currentTabNumber();
  for (size_t k = 0; k < files.size(); ++k) {
    loadStartFile(files[k], (first - 1 + static_cast<int>(k)) % MainWindow::kTabCount + 1);
  }
}

void WindowProgram::loadStartFile(const std::string& file, int tabNumber) {
  std::string bytes;
  std::string error;
  const bool read = file == "-" ? ReadWholeDescriptor(STDIN_FILENO, bytes, &error)
                                : ReadWholeFile(file, bytes, &error);
  if (!read) {
    ShowWarning(ProgramText("无法读取文件 ") + InputBytesToText(file) + ProgramText("：") +
                InputBytesToText(error));
    return;
  }
  std::string text = InputBytesToText(bytes);
  window_.loadTab(text, true, tabNumber, 0, false);
}

}  // namespace keelnode
