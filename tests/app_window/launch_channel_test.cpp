// A later start handing its files to the window over the launch socket, in
// one process: the start's side on a thread of its own, the window's side
// on the main thread's event loop.
#include "app/launch_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <future>

namespace keelnode {
namespace {

// Runs HandToRunningWindow on a thread while the main thread serves.
HandOff HandOver(const QString& socket, const std::vector<std::string>& files,
                 std::vector<std::string>* failures) {
  std::future<HandOff> result =
      std::async(std::launch::async, [&] { return HandToRunningWindow(socket, files, failures); });
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
      30000));
  return result.get();
}

class LaunchChannelTest : public ::testing::Test {
 protected:
  QString socket() const { return dir_.filePath(QStringLiteral("launch")); }
  QTemporaryDir dir_;
};

TEST_F(LaunchChannelTest, TheFilesReachTheWindowWithAbsoluteNamesAndFailuresComeBack) {
  std::vector<StartFile> received;
  LaunchListener listener([&](const std::vector<StartFile>& files) {
    received = files;
    return std::vector<std::string>{"cannot read b.json: No such file or directory"};
  });
  ASSERT_TRUE(listener.listen(socket()));
  listener.release();
  std::vector<std::string> failures;
  EXPECT_EQ(HandOver(socket(), {"a.json", "/abs/./b.json"}, &failures), HandOff::kDelivered);
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].name, cwd + "/a.json");
  EXPECT_EQ(received[1].name, "/abs/b.json");
  EXPECT_FALSE(received[0].content);
  EXPECT_EQ(failures, std::vector<std::string>{"cannot read b.json: No such file or directory"});

  // A start without files is delivered too: it brings the window up.
  received.assign(1, StartFile{"x", std::nullopt});
  failures.clear();
  EXPECT_EQ(HandOver(socket(), {}, &failures), HandOff::kDelivered);
  EXPECT_TRUE(received.empty());
}

TEST_F(LaunchChannelTest, NothingListeningMeansNoWindow) {
  std::vector<std::string> failures;
  EXPECT_EQ(HandToRunningWindow(socket(), {"a.json"}, &failures), HandOff::kNoWindow);
  // A socket left behind by a window that ended without removing it.
  const QByteArray path = QFile::encodeName(socket());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  EXPECT_EQ(HandToRunningWindow(socket(), {"a.json"}, &failures), HandOff::kNoWindow);
  // The next window takes its place.
  int served = 0;
  LaunchListener listener([&](const std::vector<StartFile>&) {
    ++served;
    return std::vector<std::string>{};
  });
  ASSERT_TRUE(listener.listen(socket()));
  listener.release();
  EXPECT_EQ(HandOver(socket(), {"a.json"}, &failures), HandOff::kDelivered);
  EXPECT_EQ(served, 1);
  EXPECT_TRUE(failures.empty());
}

TEST_F(LaunchChannelTest, ASocketOfAnotherUserIsNotTrusted) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the socket to another user";
  int served = 0;
  LaunchListener listener([&](const std::vector<StartFile>&) {
    ++served;
    return std::vector<std::string>{};
  });
  ASSERT_TRUE(listener.listen(socket()));
  listener.release();
  const QByteArray path = QFile::encodeName(socket());
  ASSERT_EQ(::lchown(path.constData(), 65534, 65534), 0);
  std::vector<std::string> failures;
  EXPECT_EQ(HandOver(socket(), {"secret.json"}, &failures), HandOff::kNoWindow);
  EXPECT_EQ(served, 0);
  ASSERT_EQ(::lchown(path.constData(), 0, 0), 0);
  EXPECT_EQ(HandOver(socket(), {"secret.json"}, &failures), HandOff::kDelivered);
  EXPECT_EQ(served, 1);
}

TEST_F(LaunchChannelTest, WhatDoesNotSpeakTheProtocolGetsNoAnswerAndHarmsNothing) {
  int served = 0;
  LaunchListener listener([&](const std::vector<StartFile>&) {
    ++served;
    return std::vector<std::string>{};
  });
  ASSERT_TRUE(listener.listen(socket()));
  listener.release();
  QLocalSocket stranger;
  stranger.connectToServer(socket());
  ASSERT_TRUE(stranger.waitForConnected(5000));
  QByteArray garbage(64, '\x07');
  garbage.prepend(QByteArray("\0\0\0\x05hello", 9));
  stranger.write(garbage);
  stranger.flush();
  EXPECT_TRUE(QTest::qWaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }));
  EXPECT_EQ(stranger.bytesAvailable(), 0);
  std::vector<std::string> failures;
  EXPECT_EQ(HandOver(socket(), {"a.json"}, &failures), HandOff::kDelivered);
  EXPECT_EQ(served, 1);
}

TEST_F(LaunchChannelTest, StartsWaitUntilTheWindowIsReleased) {
  std::vector<std::string> order;
  LaunchListener listener([&](const std::vector<StartFile>& files) {
    order.push_back(files.at(0).name);
    return std::vector<std::string>{};
  });
  ASSERT_TRUE(listener.listen(socket()));
  std::vector<std::string> failures;
  std::future<HandOff> early = std::async(std::launch::async, [&] {
    return HandToRunningWindow(socket(), {"/early.json"}, &failures);
  });
  // Connected and sent, but held.
  QTest::qWait(300);
  EXPECT_EQ(early.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  EXPECT_TRUE(order.empty());
  listener.release();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return early.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(early.get(), HandOff::kDelivered);
  EXPECT_EQ(order, std::vector<std::string>{"/early.json"});
}

TEST(LaunchSocketPathTest, OneSocketPerDataFolderInTheUsersRuntimeFolder) {
  QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  const QString one = LaunchSocketPath("/data/one");
  EXPECT_TRUE(one.startsWith(runtime.path() + QStringLiteral("/keelnode-"))) << one.toStdString();
  EXPECT_EQ(LaunchSocketPath("/data/one/"), one);
  EXPECT_EQ(LaunchSocketPath("/data/./one"), one);
  EXPECT_NE(LaunchSocketPath("/data/two"), one);
  qputenv("XDG_RUNTIME_DIR", "relative");
  EXPECT_TRUE(LaunchSocketPath("/data/one").startsWith(QDir::tempPath()));
  qunsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace keelnode
