#include "app/run_program.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/crash_hook.h"
#include "app/termination_requests.h"
#include "app/window_arguments.h"
#include "app/window_program.h"
#include "viewer/run_window.h"

namespace keelnode {
namespace {

constexpr int kUsageStatus = 64;

void Complain(const std::string& line) {
  std::fprintf(stderr, "keelnode: %s\n", line.c_str());
}

std::string WorkingDirectory() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

}  // namespace

int RunProgram(int& argc, char** argv) {
  if (!DisplayAvailable()) return kNoDisplayStatus;
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  SetUpApplication();

  std::string error;
  const std::optional<WindowArguments> arguments =
      ParseWindowArguments(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!arguments) {
    Complain(error);
    std::fputs("usage: keelnode [--data-dir DIR] [FILE...]\n", stderr);
    return kUsageStatus;
  }
  const std::string dataDir = ResolveDataDirectory(
      arguments->dataDir, std::getenv("KEELNODE_DATA_DIR"),
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(), WorkingDirectory());
  std::error_code made;
  std::filesystem::create_directories(dataDir, made);

  TerminationRequests terminations;
  const std::unique_ptr<FileSystem> dataFiles = DataFileSystem(DiskFileSystem());
  WindowProgram program(dataDir, *dataFiles);
  if (!program.session().savesOnClose()) {
    Complain("the settings file in " + dataDir +
             " is in use by another instance or cannot be written; nothing will be saved");
  }
  MainWindow& window = program.window();
  QObject::connect(&terminations, &TerminationRequests::requested, &window, [&window] {
    window.close();
    // Also ends a message box that is open.
    QCoreApplication::quit();
  });
  QTimer::singleShot(0, &window, [&] {
    program.start(arguments->files);
    terminations.listen();
  });
  ScheduleScreenshot(window);
  return QApplication::exec();
}

}  // namespace keelnode
