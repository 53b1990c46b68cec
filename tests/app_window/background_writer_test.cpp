#include "app/background_writer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "settings/forwarding_file_system.h"

namespace keelnode {
namespace {

BackgroundWriter::Bytes Bytes(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

std::optional<std::string> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The machine's files behind a gate: every write or removal waits until the
// test opens the gate, and each is recorded with the thread that made it.
class GatedFiles final : public ForwardingFileSystem {
 public:
  struct Done {
    std::string path;
    std::optional<std::string> bytes;  // nothing: removed
    std::thread::id thread;
  };

  GatedFiles() : ForwardingFileSystem(DiskFileSystem()) {}

  void open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Waits until a request is held at the gate.
  void waitForArrival() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ > 0; });
  }
  std::vector<Done> done() {
    std::lock_guard lock(mutex_);
    return done_;
  }

  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    pass(path, std::string(bytes));
    return files().ReplaceFile(path, bytes);
  }
  bool RemoveFile(const std::string& path) override {
    pass(path, std::nullopt);
    return files().RemoveFile(path);
  }

 private:
  void pass(const std::string& path, std::optional<std::string> bytes) {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    --waiting_;
    done_.push_back({path, std::move(bytes), std::this_thread::get_id()});
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int waiting_ = 0;
  std::vector<Done> done_;
};

class BackgroundWriterTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const {
    return QFile::encodeName(dir_.path()).toStdString() + "/" + name;
  }

  QTemporaryDir dir_;
  GatedFiles files_;
};

TEST_F(BackgroundWriterTest, TheCallerNeverWaitsAndOnlyTheLatestTextOfAFileIsWritten) {
  BackgroundWriter writer(files_);
  // A large text is handed over while the disk is held up.
  const std::string large(100 << 20, 'x');
  writer.write(path("a"), Bytes(large));
  files_.waitForArrival();
  for (const char* text : {"b1", "b2", "b3"})
    writer.write(path("b"), Bytes(text));
  writer.write(path("c"), Bytes("c1"));
  writer.remove(path("c"));
  writer.write(path("a"), Bytes("a2"));
  EXPECT_TRUE(files_.done().empty());  // all of it came back at once

  files_.open();
  writer.flush();
  EXPECT_EQ(Slurp(path("a")), "a2");
  EXPECT_EQ(Slurp(path("b")), "b3");
  EXPECT_FALSE(Slurp(path("c")));
  const std::vector<GatedFiles::Done> done = files_.done();
  // The large text, then one request per file: what waited was replaced.
  ASSERT_EQ(done.size(), 4u);
  EXPECT_EQ(done[0].bytes->size(), large.size());
  EXPECT_EQ(done[1].path, path("a"));
  EXPECT_EQ(done[1].bytes, "a2");
  EXPECT_EQ(done[2].bytes, "b3");
  EXPECT_FALSE(done[3].bytes);
  for (const GatedFiles::Done& request : done)
    EXPECT_NE(request.thread, std::this_thread::get_id()) << request.path;
}

TEST_F(BackgroundWriterTest, StoppingDropsWhatWaitsAndFinishesWhatRuns) {
  std::vector<std::string> failed;
  std::mutex failedMutex;
  BackgroundWriter writer(files_, [&](const std::string& path) {
    std::lock_guard lock(failedMutex);
    failed.push_back(path);
  });
  writer.write(path("running"), Bytes("1"));
  files_.waitForArrival();
  writer.write(path("waiting"), Bytes("2"));
  writer.cancel();
  files_.open();
  writer.stop();
  EXPECT_EQ(Slurp(path("running")), "1");
  EXPECT_FALSE(Slurp(path("waiting")));
  writer.write(path("late"), Bytes("3"));
  writer.flush();
  EXPECT_FALSE(Slurp(path("late")));
  EXPECT_TRUE(failed.empty());
}

TEST(BackgroundWriterFailureTest, AFailedWriteIsTold) {
  std::vector<std::string> failed;
  {
    BackgroundWriter writer(DiskFileSystem(), [&](const std::string& path) {
      failed.push_back(path);  // the writer's thread is the only one writing it
    });
    writer.write("/nonexistent-folder/file", Bytes("x"));
    writer.flush();
  }
  EXPECT_EQ(failed, std::vector<std::string>{"/nonexistent-folder/file"});
}

}  // namespace
}  // namespace keelnode
