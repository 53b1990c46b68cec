// The built keelnode program, started as a user starts it (on the offscreen
// platform) and ended with SIGTERM, as a terminal or the session ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
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

// The session's own folder, where a window's launch socket lives (Qt
// complains on stderr without one); this process's programs only.
QString RuntimeDir() {
  static const QTemporaryDir runtime;
  return runtime.path();
}

QProcessEnvironment Environment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_RUNTIME_DIR", RuntimeDir());
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

// Who the program runs as.
enum class RunAs {
  kThisUser,
  // An ordinary user whom file permissions bind (nobody, when the tests
  // run as root).
  kOrdinaryUser,
};

class Program {
 public:
  Program(const std::vector<std::string>& args,
          const QProcessEnvironment& environment = Environment(), const QString& workingDir = {},
          RunAs runAs = RunAs::kThisUser) {
    process_.setProcessEnvironment(environment);
    if (!workingDir.isEmpty()) process_.setWorkingDirectory(workingDir);
    if (runAs == RunAs::kOrdinaryUser && ::geteuid() == 0) {
      process_.start(QStringLiteral("setpriv"),
                     QStringList{"--reuid=65534", "--regid=65534", "--clear-groups",
                                 QStringLiteral(KEELNODE_BINARY)} +
                         Arguments(args));
    } else {
      process_.start(QStringLiteral(KEELNODE_BINARY), Arguments(args));
    }
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
  // Waits until the window takes later starts: its launch socket is there.
  void waitUntilItTakesLaterStarts() {
    waitUntilItListens();
    QElapsedTimer waited;
    waited.start();
    while (QDir(RuntimeDir()).entryList({"keelnode-*"}, QDir::System).isEmpty()) {
      ASSERT_EQ(process_.state(), QProcess::Running) << error();
      ASSERT_LT(waited.elapsed(), kWaitMs) << "the window never took later starts";
      QThread::msleep(5);
    }
  }
  // Asks the program to end as a terminal does and waits for it.
  void terminate() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    ASSERT_TRUE(process_.waitForFinished(kWaitMs));
  }
  // Writes `bytes` to the program's standard input and closes it.
  void feed(const std::string& bytes) {
    process_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    process_.closeWriteChannel();
  }
  int finish() {
    EXPECT_TRUE(process_.waitForFinished(kWaitMs));
    return process_.exitCode();
  }
  // Ends it the hard way, as a crash or kill -9 does.
  void kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    ASSERT_TRUE(process_.waitForFinished(kWaitMs));
  }
  qint64 pid() const { return process_.processId(); }
  bool endedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
  int exitCode() const { return process_.exitCode(); }
  std::string output() { return process_.readAllStandardOutput().toStdString(); }
  std::string error() { return process_.readAllStandardError().toStdString(); }

 private:
  QProcess process_;
};

// Starts the program, lets it start up and ends it with SIGTERM; its
// standard error.
std::string RunAndTerminate(const std::vector<std::string>& args,
                            const QProcessEnvironment& environment = Environment(),
                            const QString& workingDir = {}, RunAs runAs = RunAs::kThisUser) {
  Program program(args, environment, workingDir, runAs);
  program.waitUntilItListens();
  program.terminate();
  EXPECT_TRUE(program.endedNormally());
  const std::string error = program.error();
  EXPECT_EQ(program.exitCode(), 0) << error;
  return error;
}

// The names in a folder that end in ".tmp".
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".tmp") found.push_back(entry.path().filename().string());
  }
  return found;
}

// Whether the process runs (has not ended, even when nobody has reaped it).
bool Alive(qint64 pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const size_t end = line.rfind(')');
  return end != std::string::npos && end + 2 < line.size() && line[end + 2] != 'Z';
}

// A process number nobody has: that of a child that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
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
#ifndef KEELNODE_CRASH_HOOK
  GTEST_SKIP() << "built without the crash hook";
#endif
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

TEST(ProgramBinaryTest, ANewWindowBesideARunningOneLeavesItsFilesAlone) {
  DataDir dir;
  dir.put(DataFileName(1), "[1]");
  dir.put("other.json", "[\"second\"]");
  Program first({"--data-dir", dir.path()});
  first.waitUntilItListens();
  {
    Program second(
        {"--data-dir", dir.path(), "--new-window", dir.file("other.json"), dir.file("other.json")});
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

TEST(ProgramBinaryTest, ASecondStartHandsItsFilesToTheWindowOnTheSameFolder) {
  DataDir dir;
  dir.put("a.json", R"({"a":"甲"})");
  dir.put("b.json", R"(["b"])");
  Program first({"--data-dir", dir.path()});
  first.waitUntilItTakesLaterStarts();
  {
    // Names relative to the second start's own folder; standard input.
    Program second({"--data-dir", dir.path(), "a.json", "b.json", "-"}, Environment(),
                   QFile::decodeName(dir.path().c_str()));
    second.feed("[3]");
    EXPECT_EQ(second.finish(), 0);
    EXPECT_EQ(second.error(), "");
  }
  {
    // No file: the window is only brought to the front.
    Program third({"--data-dir", dir.path()});
    EXPECT_EQ(third.finish(), 0);
    EXPECT_EQ(third.error(), "");
  }
  {
    Program fourth({"--data-dir", dir.path(), dir.file("missing.json")});
    EXPECT_EQ(fourth.finish(), 2);
    EXPECT_EQ(fourth.error(), "keelnode: cannot read " + dir.file("missing.json") +
                                  ": No such file or directory\n");
  }
  first.terminate();
  EXPECT_EQ(first.exitCode(), 0) << first.error();
  // The first window loaded them into its tabs and saved them.
  EXPECT_EQ(dir.get(DataFileName(1)), Gb(R"({"a":"甲"})"));
  EXPECT_EQ(dir.get(DataFileName(2)), R"(["b"])");
  EXPECT_EQ(dir.get(DataFileName(3)), "[3]");
}

TEST(ProgramBinaryTest, AStartOnAnotherFolderOpensItsOwnWindow) {
  DataDir one;
  DataDir two;
  two.put("a.json", "[2]");
  Program first({"--data-dir", one.path()});
  first.waitUntilItListens();
  Program second({"--data-dir", two.path(), two.file("a.json")});
  second.waitUntilItListens();
  second.terminate();
  EXPECT_EQ(second.exitCode(), 0) << second.error();
  EXPECT_EQ(two.get(DataFileName(1)), "[2]");
  first.terminate();
  EXPECT_FALSE(one.get(DataFileName(1)));
}

TEST(ProgramBinaryTest, TheCommandLineAnswersScriptsExactly) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string doc = R"({"data":[{"name":"岚溪","url":"https://e.com/?a=1&b=2"}]})";
  const std::vector<Case> cases = {
      {{"--search", "name", "--compact-paths", "-"}, 0, "data[1].name\n", ""},
      {{"--search", "A=1", "--ignore-case", "-"}, 0, "data.[1].url\n", ""},
      {{"--value", "data[1].name", "-"}, 0, "岚溪\n", ""},
      {{"-", "--value", "data.[1].url"}, 0, "https://e.com/?a=1&b=2\n", ""},
      {{"--value", "data.[2]", "-"}, 1, "", "keelnode: nothing at data.[2]\n"},
      {{"--search", "nothing", "-"}, 1, "", ""},
      {{"--tree", "-"},
       0,
       "JSON\n  data\n    [1]\n      name:\"岚溪\"\n      url:\"https://e.com/?a=1&b=2\"\n",
       ""},
      {{"--version"}, 0, "keelnode " KEELNODE_VERSION "\n", ""},
      {{"--tree", "--bogus", "-"},
       64,
       "",
       "keelnode: unknown option --bogus; see keelnode --help\n"},
      {{"--tree", "/no/such.json"},
       2,
       "",
       "keelnode: cannot read /no/such.json: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    Program program(c.args);
    program.feed(doc);
    EXPECT_EQ(program.finish(), c.status) << c.args.front();
    EXPECT_EQ(program.output(), c.out) << c.args.front();
    EXPECT_EQ(program.error(), c.err) << c.args.front();
  }
  Program help({"--help"});
  EXPECT_EQ(help.finish(), 0);
  EXPECT_EQ(help.output().rfind("usage: keelnode", 0), 0u);
}

TEST(ProgramBinaryTest, BadUsageEndsWithStatus64) {
  DataDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--data-dir"}, {"--bogus"}, {"--data-dir", dir.path(), "-q"}}) {
    Program program(args);
    EXPECT_EQ(program.finish(), 64) << args.front();
    const std::string error = program.error();
    EXPECT_EQ(error.rfind("keelnode: ", 0), 0u) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
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

TEST(ProgramBinaryTest, WhatAnotherProgramWritesIntoTheSettingsFileMeanwhileIsKept) {
  const std::string other = "[Other]\r\nkey=1";
  for (const bool replaced : {false, true}) {
    SCOPED_TRACE(replaced ? "replaced by rename" : "rewritten in place");
    DataDir dir;
    Program program({"--data-dir", dir.path()});
    program.waitUntilItListens();
    if (replaced) {
      dir.put("new.ini", other);
      std::filesystem::rename(dir.file("new.ini"), dir.file("岚溪·DUVOvidu.ini"));
    } else {
      dir.put("岚溪·DUVOvidu.ini", other);
    }
    program.terminate();
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(dir.ini(), other + "\r\n" + FirstCloseIni());
  }
}

TEST(ProgramBinaryTest, AWritableSettingsFileInAFolderThatTakesNoNewFilesIsSaved) {
  DataDir dir;
  DataDir state;
  for (const DataDir* folder : {&dir, &state})
    ::chmod(folder->path().c_str(), 0777);
  dir.put("岚溪·DUVOvidu.ini", "");
  ::chmod(dir.file("岚溪·DUVOvidu.ini").c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  QProcessEnvironment environment = Environment();
  environment.insert("XDG_STATE_HOME", QFile::decodeName(state.path().c_str()));
  const std::string error =
      RunAndTerminate({"--data-dir", dir.path()}, environment, {}, RunAs::kOrdinaryUser);
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(dir.ini(), FirstCloseIni());
  EXPECT_EQ(error.find("nothing will be saved"), std::string::npos) << error;
  EXPECT_EQ(error.find("could not be written"), std::string::npos) << error;
  // The undo journal came and went in the user's state folder.
  EXPECT_TRUE(std::filesystem::is_empty(state.file("keelnode")));
}

TEST(ProgramBinaryTest, WhatAKillInTheMiddleOfTheSaveLeftIsGoneAfterTheNextStart) {
  // A text large enough that its data file takes a while to write.
  std::string text = "[";
  for (int k = 0; k < 100000; ++k)
    text += "\"https://example.com/q?a=" + std::to_string(k) + "&b=\\u4e2d\",";
  text += "0]";
  // Caught in the middle of writing a data file, the kill leaves its
  // temporary file; a few tries make sure one is caught.
  for (int attempt = 0; attempt < 10; ++attempt) {
    SCOPED_TRACE(attempt);
    DataDir dir;
    dir.put("big.json", text);
    Program program({"--data-dir", dir.path(), dir.file("big.json")});
    program.waitUntilItListens();
    ::kill(static_cast<pid_t>(program.pid()), SIGTERM);
    QElapsedTimer waited;
    waited.start();
    while (Alive(program.pid()) && Temporaries(dir.path()).empty() && waited.elapsed() < kWaitMs) {
    }
    program.kill();
    if (Temporaries(dir.path()).empty()) continue;  // the save was done before the kill

    // Temporaries of other writers that died, and of one that still runs.
    const std::string ended = std::to_string(EndedProcess());
    dir.put("JSON数据3.txt." + ended + ".1.tmp", "[3]");
    dir.put("岚溪·DUVOvidu.ini.undo." + ended + ".2.tmp", "a record never put in place");
    const std::string running = "JSON数据4.txt." + std::to_string(::getppid()) + ".1.tmp";
    dir.put(running, "[4]");
    RunAndTerminate({"--data-dir", dir.path()});
    EXPECT_EQ(Temporaries(dir.path()), std::vector<std::string>{running});
    // The text the killed save was writing came back from its recovery copy.
    EXPECT_TRUE(dir.get(DataFileName(1)) == text);
    return;
  }
  FAIL() << "no kill came in the middle of a data file's write";
}

TEST(ProgramBinaryTest, AKilledProgramsTextsComeBackAtTheNextStart) {
  DataDir dir;
  const std::string text = R"({"名":"值","url":"https://example.com/?a=1&b=2"})";
  dir.put("a.json", text);
  dir.put(DataFileName(1), "[\"saved before\"]");
  Program program({"--data-dir", dir.path(), dir.file("a.json")});
  program.waitUntilItListens();
  // Once its copy is there, the text outlives a kill.
  QElapsedTimer waited;
  waited.start();
  while (dir.get("恢复/" + DataFileName(1)) != Gb(text)) {
    ASSERT_LT(waited.elapsed(), kWaitMs) << "no recovery copy was made";
    QThread::msleep(5);
  }
  program.kill();
  EXPECT_FALSE(program.endedNormally());
  EXPECT_EQ(dir.get(DataFileName(1)), "[\"saved before\"]");

  const std::string error = RunAndTerminate({"--data-dir", dir.path()});
  // One line says so.
  EXPECT_NE(error.find("tab 1 got back its unsaved text"), std::string::npos) << error;
  size_t lines = 0;
  for (size_t at = 0; (at = error.find("keelnode:", at)) != std::string::npos; ++at)
    ++lines;
  EXPECT_EQ(lines, 1u) << error;
  EXPECT_EQ(dir.get(DataFileName(1)), Gb(text));
  EXPECT_FALSE(std::filesystem::exists(dir.file("恢复")));
}

TEST(ProgramBinaryTest, WithoutADisplayTheGivenArgumentsAreUsedOrRefused) {
  QProcessEnvironment environment = Environment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(name);
  DataDir dir;
  dir.put("a.json", R"({"k":[1]})");
  dir.put("b.json", "[true]");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string noDisplay = "keelnode: no display available; printing the tree of ";
  const std::vector<Case> cases = {
      {{dir.file("a.json")}, 0, "JSON\n  k\n    [1]:1\n", noDisplay + "the file instead\n"},
      {{"--data-dir", dir.path(), dir.file("a.json"), dir.file("b.json")},
       0,
       "JSON\n  k\n    [1]:1\nJSON\n  [1]:true\n",
       noDisplay + "each file instead\n"},
      {{dir.file("none.json")},
       2,
       "",
       noDisplay + "the file instead\nkeelnode: cannot read " + dir.file("none.json") +
           ": No such file or directory\n"},
      {{"--bogus"}, 64, "", "keelnode: unknown option --bogus; see keelnode --help\n"},
      {{"--value", "X", dir.file("a.json")}, 1, "", "keelnode: nothing at X\n"},
  };
  for (const Case& c : cases) {
    Program program(c.args, environment);
    EXPECT_EQ(program.finish(), c.status) << c.args.front();
    EXPECT_EQ(program.output(), c.out) << c.args.front();
    EXPECT_EQ(program.error(), c.err) << c.args.front();
  }
  EXPECT_EQ(dir.ini(), "");
}

// An X server that wants a cookie this client does not have.
class RefusingXServer {
 public:
  RefusingXServer() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) return;
    // One MIT cookie for any display: family "wild", no address, no number.
    const QByteArray name = "MIT-MAGIC-COOKIE-1";
    QByteArray entry("\xFF\xFF\0\0\0\0\0", 7);
    entry += char(name.size()) + name + QByteArray("\0\x10", 2) + QByteArray(16, 'k');
    QFile cookies(dir_.filePath(QStringLiteral("cookies")));
    if (!cookies.open(QIODevice::WriteOnly) || cookies.write(entry) != entry.size()) return;
    cookies.close();
    server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-auth"),
                         cookies.fileName(), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    QElapsedTimer waited;
    waited.start();
    while (!number.endsWith('\n') && waited.elapsed() < kWaitMs &&
           server_.state() != QProcess::NotRunning) {
      server_.waitForReadyRead(100);
      number += server_.readAllStandardOutput();
    }
    if (number.endsWith('\n'))
      display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
  }
  ~RefusingXServer() {
    server_.terminate();
    server_.waitForFinished(kWaitMs);
  }
  // Empty when no server could be started.
  QString display() const { return display_; }

 private:
  QTemporaryDir dir_;
  QProcess server_;
  QString display_;
};

TEST(ProgramBinaryTest, ADisplayThatRefusesTheClientIsNoDisplay) {
  RefusingXServer server;
  if (server.display().isEmpty()) GTEST_SKIP() << "Xvfb cannot be started here";
  QProcessEnvironment environment = Environment();
  for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY"})
    environment.remove(name);
  environment.insert(QStringLiteral("DISPLAY"), server.display());
  environment.insert(QStringLiteral("XAUTHORITY"), QStringLiteral("/nonexistent"));
  DataDir dir;
  dir.put("a.json", R"({"名":["&lt;b&gt;"]})");
  Program withFile({"--data-dir", dir.path(), dir.file("a.json")}, environment);
  EXPECT_EQ(withFile.finish(), 0);
  EXPECT_EQ(withFile.output(), "JSON\n  名\n    [1]:\"&lt;b&gt;\"\n");
  EXPECT_EQ(withFile.error(),
            "keelnode: no display available; printing the tree of the file instead\n");
  Program alone({"--data-dir", dir.path()}, environment);
  EXPECT_EQ(alone.finish(), 0);
  EXPECT_TRUE(alone.output().starts_with("JSON\n")) << alone.output();
  EXPECT_EQ(alone.error(),
            "keelnode: no display available; showing the sample document's tree instead\n");
  EXPECT_EQ(dir.ini(), "");
}

}  // namespace
}  // namespace keelnode
