#include "app/recovery_copies.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app_window_support.h"

namespace keelnode {
namespace {

using testing::DataDir;
using testing::DataFileName;

std::shared_ptr<const std::string> Text(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

// Sets a file's modification time, seconds into the epoch.
void SetTime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class RecoveryCopiesTest : public ::testing::Test {
 protected:
  std::string copy(int tab) const { return "恢复/" + DataFileName(tab); }

  DataDir dir_;
  TabDataFiles data_{DiskFileSystem(), dir_.path()};
  RecoveryCopies copies_{DiskFileSystem(), dir_.path()};
};

TEST_F(RecoveryCopiesTest, CopiesAreKeptInTheRecoveryFolderUnderTheDataFilesNames) {
  EXPECT_EQ(copies_.path(1), dir_.file("恢复/JSON数据.txt"));
  EXPECT_EQ(copies_.path(7), dir_.file("恢复/JSON数据7.txt"));
  copies_.keep(2, Text("[2]"));
  copies_.keep(3, Text("[3]"));
  copies_.drop(3);
  copies_.flush();
  EXPECT_EQ(dir_.get(copy(2)), "[2]");
  EXPECT_FALSE(dir_.get(copy(3)));
  EXPECT_FALSE(dir_.get(DataFileName(2)));  // the data files wait for the close
}

TEST_F(RecoveryCopiesTest, OnlyCopiesNewerThanTheirDataFileAndDifferentFromItAreFound) {
  std::filesystem::create_directory(dir_.file("恢复"));
  // Tab 1: newer and different; tab 2: no data file; tab 3: the data file
  // was written after the copy; tab 4: the same text; tab 5: no copy.
  for (int tab : {1, 3, 4, 5})
    dir_.put(DataFileName(tab), "[\"saved\"]");
  for (int tab : {1, 2, 3})
    dir_.put(copy(tab), "[" + std::to_string(tab) + "]");
  dir_.put(copy(4), "[\"saved\"]");
  for (int tab : {1, 4, 5})
    SetTime(dir_.file(DataFileName(tab)), 1000);
  SetTime(dir_.file(DataFileName(3)), 3000);
  for (int tab : {1, 2, 3, 4})
    SetTime(dir_.file(copy(tab)), 2000);

  const std::vector<RecoveryCopies::Recovered> found = copies_.findNewer(data_);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].tabNumber, 1);
  EXPECT_EQ(found[0].text, "[1]");
  EXPECT_EQ(found[1].tabNumber, 2);
  EXPECT_EQ(found[1].text, "[2]");
}

TEST_F(RecoveryCopiesTest, TheCloseRemovesTheCopiesButThoseStillNeededAndThenTheFolder) {
  copies_.keep(1, Text("[1]"));
  copies_.keep(2, Text("[2]"));
  copies_.finish();
  EXPECT_EQ(dir_.get(copy(2)), "[2]");
  copies_.keep(3, Text("ignored after the finish"));
  ASSERT_TRUE(copies_.keepNow(4, "[4]"));
  copies_.removeAllBut({4});
  EXPECT_FALSE(dir_.get(copy(1)));
  EXPECT_FALSE(dir_.get(copy(2)));
  EXPECT_FALSE(dir_.get(copy(3)));
  EXPECT_EQ(dir_.get(copy(4)), "[4]");
  copies_.removeAllBut({});
  EXPECT_FALSE(std::filesystem::exists(dir_.file("恢复")));
}

TEST_F(RecoveryCopiesTest, TemporariesOfAKilledWriterAreRemoved) {
  std::filesystem::create_directory(dir_.file("恢复"));
  dir_.put(copy(3) + ".999999999.0.tmp", "half a text");
  dir_.put(copy(3), "[3]");
  copies_.removeLeftovers();
  EXPECT_FALSE(dir_.get(copy(3) + ".999999999.0.tmp"));
  EXPECT_EQ(dir_.get(copy(3)), "[3]");
}

}  // namespace
}  // namespace keelnode
