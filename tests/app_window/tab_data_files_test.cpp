#include "app/tab_data_files.h"

#include <gtest/gtest.h>

#include "settings/memory_file_system.h"

namespace keelnode {
namespace {

TEST(TabDataFilesTest, TabOneHasNoNumberInItsName) {
  MemoryFileSystem files;
  TabDataFiles data(files, "/run");
  EXPECT_EQ(data.path(1), "/run/JSON数据.txt");
  EXPECT_EQ(data.path(2), "/run/JSON数据2.txt");
  EXPECT_EQ(data.path(7), "/run/JSON数据7.txt");
}

TEST(TabDataFilesTest, ReadsBytesAsTheyAreUpToAZeroByte) {
  MemoryFileSystem files;
  files.AddDirectory("/run");
  TabDataFiles data(files, "/run");
  EXPECT_EQ(data.read(1), "");  // missing
  const std::string gbk = "{\"\xC3\xFB\":\"\xD6\xB5\"}\r\n";
  files.SetFile("/run/JSON数据.txt", gbk);
  EXPECT_EQ(data.read(1), gbk);
  files.SetFile("/run/JSON数据3.txt", std::string("[1]\0[2]", 7));
  EXPECT_EQ(data.read(3), "[1]");
  files.SetFile("/run/JSON数据4.txt", "\xEF\xBB\xBF[]");
  EXPECT_EQ(data.read(4), "\xEF\xBB\xBF[]");  // no byte-order mark is taken off
}

TEST(TabDataFilesTest, WritesTheTextAsTheWholeFile) {
  MemoryFileSystem files;
  files.AddDirectory("/run");
  TabDataFiles data(files, "/run");
  files.SetFile("/run/JSON数据2.txt", "a longer old content");
  ASSERT_TRUE(data.write(2, "\xD6\xB5"));
  EXPECT_EQ(files.File("/run/JSON数据2.txt"), "\xD6\xB5");
  ASSERT_TRUE(data.write(2, ""));
  EXPECT_EQ(files.File("/run/JSON数据2.txt"), "");
}

TEST(TabDataFilesTest, AFailedWriteKeepsTheOldFile) {
  MemoryFileSystem files;
  files.AddDirectory("/run");
  TabDataFiles data(files, "/run");
  files.SetFile("/run/JSON数据5.txt", "old");
  files.FailAt(0, true);
  EXPECT_FALSE(data.write(5, "new"));
  EXPECT_EQ(files.File("/run/JSON数据5.txt"), "old");
  EXPECT_FALSE(TabDataFiles(files, "/missing").write(1, "x"));
}

}  // namespace
}  // namespace keelnode
