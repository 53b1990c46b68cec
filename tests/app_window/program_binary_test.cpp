// The built keelnode program, started as a user starts it (on the offscreen
// platform) and ended with SIGTERM, as a terminal or the session ends it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app_window_support.h"
#include "viewer_test_support.h"

namespace keelnode {
namespace {

using testing::DataDir;
using testing::DataFileName;
using testing::FirstCloseIni;
using testing::Gb;

constexpr int kWaitMs = 60000;

QProcessEnvironment Environment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  for (const char* name : {"KEELNODE_DATA_DIR", "KEELNODE_CRASH_AFTER_DATA_FILES",
                           "KEELNODE_SCREENSHOT", "KEELNODE_SCREENSHOT_SIZE"}) {
    environment.remove(name);
  }
  return environment;
}

QStringList Arguments(const std::vector<std::string>& args) {
  QStringList list;
  for (const std::string& arg : args)
    list << QFile::decodeName(arg.c_str());
  return list;
}

// Whether the process has its own SIGTERM handler in place yet.
bool CatchesTerm(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
      return (caught >> (SIGTERM - 1)) & 1;
    }
  }
  return false;
}

class Program {
 public:
  Program(const std::vector<std::string>& args,
          const QProcessEnvironment& environment = Environment(), const QString& workingDir = {}) {
    process_.setProcessEnvironment(environment);
    if (!workingDir.isEmpty()) process_.setWorkingDirectory(workingDir);
    process_.start(QStringLiteral(KEELNODE_BINARY), Arguments(args));
    EXPECT_TRUE(process_.waitForStarted(kWaitMs));
  }
  ~Program() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(kWaitMs);
    }
  }

  // Waits until the window's start-up has a SIGTERM handler to answer.
  void waitUntilItListens() {
    QElapsedTimer waited;
    waited.start();
    while (!CatchesTerm(process_.processId())) {
      ASSERT_EQ(process_.state(), QProcess::Running) << error();
      ASSERT_LT(waited.elapsed(), kWaitMs) << "the program never listened for SIGTERM";
      QThread::msleep(5);
    }
  }
  // Asks the program to end as a terminal does and waits for it.
  void terminate() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    ASSERT_TRUE(process_.waitForFinished(kWaitMs));
  }
  int finish() {
    EXPECT_TRUE(process_.waitForFinished(kWaitMs));
    return process_.exitCode();
  }
  bool endedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
  int exitCode() const { return process_.exitCode(); }
  std::string output() { return process_.readAllStandardOutput().toStdString(); }
  std::string error() { return process_.readAllStandardError().toStdString(); }

 private:
  QProcess process_;
};

// Starts the program, lets it start up and ends it with SIGTERM.
void RunAndTerminate(const std::vector<std::string>& args,
                     const QProcessEnvironment& environment = Environment(),
                     const QString& workingDir = {}) {
  Program program(args, environment, workingDir);
  program.waitUntilItListens();
  program.terminate();
  EXPECT_TRUE(program.endedNormally());
  EXPECT_EQ(program.exitCode(), 0) << program.error();
}

TEST(ProgramBinaryTest, AFirstRunLeavesTheSettingsInTheirOrderAndARestartRestores) {
  DataDir dir;
  RunAndTerminate({"--data-dir", dir.path()});
  EXPECT_EQ(dir.ini(), FirstCloseIni());

  dir.put(DataFileName(3), R"({"a":[1,2,3,4,5,6,7,8,9,10,11,12,13]})");
  std::string ini = dir.ini();
  for (const auto& [key, value] : {std::pair{"选择夹=0", "选择夹=2"},
                                   std::pair{"树型框3.现行选中项=0", "树型框3.现行选中项=12"}}) {
    ini.replace(ini.find(Gb(key)), Gb(key).size(), Gb(value));
  }
  dir.put("岚溪·DUVOvidu.ini", ini);
  RunAndTerminate({"--data-dir", dir.path()});
  // Tab 3 came back current with item 12, and was saved so.
  EXPECT_EQ(dir.ini(), ini);
  EXPECT_EQ(dir.get(DataFileName(3)), R"({"a":[1,2,3,4,5,6,7,8,9,10,11,12,13]})");
}

TEST(ProgramBinaryTest, FilesOnTheCommandLineAreLoadedAndSavedInTheEnvironmentsFolder) {
  DataDir dir;
  dir.put("a.json", R"({"名":"值"})");
  QProcessEnvironment environment = Environment();
  environment.insert("KEELNODE_DATA_DIR", QFile::decodeName(dir.path().c_str()));
  RunAndTerminate({"a.json"}, environment, QFile::decodeName(dir.path().c_str()));
  EXPECT_EQ(dir.get(DataFileName(1)), Gb(R"({"名":"值"})"));
  EXPECT_EQ(dir.ini().substr(0, Gb("[JSON树]").size()), Gb("[JSON树]"));
}

TEST(ProgramBinaryTest, AMissingDataFolderIsMade) {
  DataDir dir;
  const std::string nested = dir.file("one/two");
  RunAndTerminate({"--data-dir=" + nested});
  EXPECT_TRUE(std::filesystem::exists(nested + "/岚溪·DUVOvidu.ini"));
}

TEST(ProgramBinaryTest, AKillInTheMiddleOfTheSaveLeavesEveryDataFileWhole) {
  for (int killedAfter = 1; killedAfter <= 7; ++killedAfter) {
    SCOPED_TRACE(killedAfter);
    DataDir dir;
    std::vector<std::string> args = {"--data-dir", dir.path()};
    for (int tab = 1; tab <= 7; ++tab) {
      dir.put(DataFileName(tab), "[\"old " + std::to_string(tab) + "\"]");
      // Larger than a page, so that a torn write would show.
      const std::string name = "new" + std::to_string(tab) + ".json";
      dir.put(name, "[\"new " + std::to_string(tab) + "\"," + std::string(100000, ' ') + "0]");
      args.push_back(dir.file(name));
    }
    QProcessEnvironment environment = Environment();
    environment.insert("KEELNODE_CRASH_AFTER_DATA_FILES", QString::number(killedAfter));
    Program program(args, environment);
    program.waitUntilItListens();
    program.terminate();
    EXPECT_FALSE(program.endedNormally());
    for (int tab = 1; tab <= 7; ++tab) {
      const std::string expected = tab <= killedAfter
                                       ? *dir.get("new" + std::to_string(tab) + ".json")
                                       : "[\"old " + std::to_string(tab) + "\"]";
      EXPECT_EQ(dir.get(DataFileName(tab)), expected) << tab;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

TEST(ProgramBinaryTest, ASecondInstanceLeavesTheFirstOnesFilesAlone) {
  DataDir dir;
  dir.put(DataFileName(1), "[1]");
  dir.put("other.json", "[\"second\"]");
  Program first({"--data-dir", dir.path()});
  first.waitUntilItListens();
  {
    Program second({"--data-dir", dir.path(), dir.file("other.json"), dir.file("other.json")});
    second.waitUntilItListens();
    second.terminate();
    EXPECT_TRUE(second.endedNormally());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_NE(second.error().find("nothing will be saved"), std::string::npos);
  }
  EXPECT_EQ(dir.ini(), "");
  EXPECT_EQ(dir.get(DataFileName(1)), "[1]");
  EXPECT_FALSE(dir.get(DataFileName(2)));
  first.terminate();
  EXPECT_EQ(first.exitCode(), 0);
  EXPECT_EQ(dir.ini(), FirstCloseIni());
}

TEST(ProgramBinaryTest, BadUsageEndsWithStatus64) {
  DataDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--data-dir"}, {"--bogus"}, {"--data-dir", dir.path(), "-q"}}) {
    Program program(args);
    EXPECT_EQ(program.finish(), 64) << args.front();
    EXPECT_NE(program.error().find("usage: keelnode"), std::string::npos);
  }
  EXPECT_EQ(dir.ini(), "");
}

TEST(ProgramBinaryTest, WithoutADisplayItPrintsTheSampleTree) {
  QProcessEnvironment environment = Environment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(name);
  for (const char* display : {"", ":7777"}) {
    SCOPED_TRACE(display);
    if (*display) environment.insert("DISPLAY", display);
    Program program({}, environment);
    EXPECT_EQ(program.finish(), 0);
    EXPECT_TRUE(program.endedNormally());
    EXPECT_EQ(program.output().rfind("JSON\n", 0), 0u);
    const std::string error = program.error();
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
  }
}

}  // namespace
}  // namespace keelnode
