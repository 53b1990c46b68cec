#include "app/run_program.h"

#include <pwd.h>
#include <unistd.h>

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
#include "app/launch_channel.h"
#include "app/termination_requests.h"
#include "app/window_arguments.h"
#include "app/window_program.h"
#include "viewer/app_icon.h"
#include "viewer/run_window.h"

namespace keelnode {
namespace {

constexpr int kUnreadableStatus = 2;

std::string HomeFromPasswordFile() {
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

void Complain(const std::string& line) {
  std::fprintf(stderr, "keelnode: %s\n", line.c_str());
}

// Beside the executable in its build folder, else the user's data folder.
std::string ProgramDataDirectory() {
  const std::string executableDir =
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  const char* home = std::getenv("HOME");
  return DefaultDataDirectory(executableDir, KEELNODE_BUILD_FOLDER, std::getenv("XDG_DATA_HOME"),
                              home != nullptr && *home != '\0' ? home : HomeFromPasswordFile());
}

std::string WorkingDirectory() {
  std::error_code error;
  return std::filesystem::current_path(error).string();
}

}  // namespace

int RunProgram(int& argc, char** argv, const WindowArguments& arguments) {
  if (!DisplayAvailable()) return kNoDisplayStatus;
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  SetUpApplication();
  // Ties the window to the installed desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.keelnode.keelnode"));
  QApplication::setWindowIcon(ApplicationIcon());

  const std::string dataDir =
      ResolveDataDirectory(arguments.dataDir, std::getenv("KEELNODE_DATA_DIR"),
                           ProgramDataDirectory(), WorkingDirectory());
  std::error_code made;
  std::filesystem::create_directories(dataDir, made);

  const QString launchSocket = LaunchSocketPath(dataDir);
  if (arguments.launch == Launch::kJoinRunning) {
    std::vector<std::string> failures;
    switch (HandToRunningWindow(launchSocket, arguments.files, &failures)) {
      case HandOff::kNoWindow:
        break;
      case HandOff::kDelivered:
        for (const std::string& failure : failures)
          Complain(failure);
        return failures.empty() ? 0 : kUnreadableStatus;
      case HandOff::kNoAnswer:
        Complain("the window on " + dataDir + " did not answer");
        return kUnreadableStatus;
    }
  }

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
  // Only the window that saves to the folder takes later starts' files. It
  // listens at once, so that a start right after this one finds it, and
  // serves them once its own files are loaded.
  std::optional<LaunchListener> launches;
  if (program.session().savesOnClose()) {
    launches.emplace(
        [&program](const std::vector<StartFile>& files) { return program.openHandedFiles(files); });
    if (!launches->listen(launchSocket))
      Complain("later starts on " + dataDir + " will open windows of their own");
  }
  QTimer::singleShot(0, &window, [&] {
    program.start(arguments.files);
    if (launches) launches->release();
    terminations.listen();
  });
  ScheduleScreenshot(window);
  return QApplication::exec();
}

}  // namespace keelnode
