#include "app/window_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/input_text.h"
#include "app/program_messages.h"
#include "app/window_arguments.h"
#include "services/memory_budget.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

QStringList ChooseInDialog(QWidget& parent) {
  return QFileDialog::getOpenFileNames(&parent, QStringLiteral("打开 JSON 文件"), QString(),
                                       QStringLiteral("JSON 文件 (*.json *.txt);;所有文件 (*)"));
}

std::string AbsolutePath(const std::string& name) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(name, error);
  return error ? name : absolute.lexically_normal().string();
}

// The size of a regular file that a load could never take in the memory
// left, checked before the read takes that memory itself.
std::optional<uint64_t> TooLargeToRead(const std::string& path, uint64_t* largestText) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  const std::optional<uint64_t> available = AvailableMemory();
  if (!available) return std::nullopt;
  *largestText = LargestLoadableText(*available, LoadHolder::kWindow);
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size <= *largestText) return std::nullopt;
  return size;
}

std::string ReasonInWords(int errorNumber, const std::string& reason) {
  switch (errorNumber) {
    case ENOENT:
      return ProgramText("文件不存在");
    case EACCES:
    case EPERM:
      return ProgramText("没有读取它的权限");
    case EISDIR:
      return ProgramText("这是一个文件夹，不是文件");
    default:
      return ProgramText("读取出错（") + InputBytesToText(reason) + ProgramText("）");
  }
}

}  // namespace

WindowProgram::WindowProgram(const std::string& dataDir, FileSystem& dataFiles)
    : writable_(store_.Open(SettingsFilePath(dataDir))),
      files_(dataFiles, dataDir),
      // Written from a thread of its own: the machine's files, whatever
      // the data files go through.
      recovery_(DiskFileSystem(), dataDir),
      session_(window_, store_, files_, recovery_, writable_),
      addressPaste_(window_),
      chooseFiles_(ChooseInDialog) {
  showRecentFiles();
  QObject::connect(&window_, &MainWindow::openFileRequested, &window_,
                   [this] { openFromWindow(chooseFiles_(window_)); });
  QObject::connect(&window_, &MainWindow::recentFileRequested, &window_,
                   [this](const QString& path) { openFromWindow({path}); });
  QObject::connect(&window_, &MainWindow::filesDropped, &window_,
                   [this](const QStringList& paths) { openFromWindow(paths); });
}

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

void WindowProgram::openFromWindow(const QStringList& paths) {
  std::vector<StartFile> named;
  for (const QString& path : paths)
    named.push_back({QFile::encodeName(path).toStdString(), std::nullopt});
  for (const Unreadable& failure : loadFiles(named))
    warnAbout(failure);
}

void WindowProgram::showRecentFiles() {
  QStringList paths;
  for (const std::string& path : session_.programSettings().recentFiles())
    paths << QFile::decodeName(QByteArray::fromStdString(path));
  window_.setRecentFiles(paths);
}

std::vector<std::string> WindowProgram::openHandedFiles(const std::vector<StartFile>& files) {
  if (window_.isMinimized()) window_.showNormal();
  window_.raise();
  window_.activateWindow();
  const std::vector<Unreadable> failures = loadFiles(files);
  std::vector<std::string> lines;
  for (const Unreadable& failure : failures) {
    std::string line;
    if (failure.busyTab != 0) {
      line = "not loaded " + failure.file + ": tab " + std::to_string(failure.busyTab) +
             " is busy loading";
    } else if (failure.errorNumber == EFBIG) {
      line = "not loaded " + failure.file + ": too large for the memory left";
    } else {
      line = "cannot read " + failure.file + ": " + failure.reason;
    }
    lines.push_back(line);
    QTimer::singleShot(0, &window_, [failure] { warnAbout(failure); });
  }
  return lines;
}

std::vector<WindowProgram::Unreadable> WindowProgram::loadFiles(
    const std::vector<StartFile>& files) {
  std::vector<Unreadable> failures;
  const int first = window_.currentTabNumber();
  bool recentChanged = false;
  for (size_t k = 0; k < files.size(); ++k) {
    const StartFile& file = files[k];
    const bool named = !file.content && file.name != "-";
    Unreadable failure{file.name, {}};
    if (named) {
      if (const auto size = TooLargeToRead(file.name, &failure.largestText)) {
        failure.errorNumber = EFBIG;
        failure.fileBytes = *size;
        failures.push_back(failure);
        continue;
      }
    }
    std::string bytes;
    bool read = true;
    if (file.content) {
      bytes = *file.content;
    } else if (file.name == "-") {
      read = ReadWholeDescriptor(STDIN_FILENO, bytes, &failure.reason, &failure.errorNumber);
    } else {
      read = ReadWholeFile(file.name, bytes, &failure.reason, &failure.errorNumber);
    }
    if (!read) {
      failures.push_back(failure);
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
    if (window_.loadTab(text, true, tabNumber, 0, false) && named) {
      session_.programSettings().noteOpened(AbsolutePath(file.name));
      recentChanged = true;
    }
  }
  if (recentChanged) showRecentFiles();
  return failures;
}

void WindowProgram::warnAbout(const Unreadable& failure) {
  const std::string name = InputBytesToText(failure.file);
  if (failure.busyTab != 0) {
    ShowWarning(ProgramText("第") + std::to_string(failure.busyTab) +
                ProgramText("页正忙，未能载入文件 ") + name);
    return;
  }
  if (failure.errorNumber == EFBIG) {
    ShowWarning(ProgramText("文件太大，无法载入：") + name + ProgramText("\r\n它有 ") +
                std::to_string(WholeMebibytes(failure.fileBytes)) +
                ProgramText(" MB，现在的内存最多只能载入约 ") +
                std::to_string(failure.largestText >> 20) +
                ProgramText(" MB 的文档。标签页内容没有改动。"));
    return;
  }
  ShowWarning(ProgramText("无法读取文件 ") + name + ProgramText("：") +
              ReasonInWords(failure.errorNumber, failure.reason));
}

}  // namespace keelnode
