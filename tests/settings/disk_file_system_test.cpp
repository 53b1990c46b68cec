// The settings store on real files in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/settings_store.h"
#include "settings/undo_journal.h"
#include "test_support.h"

namespace keelnode {
namespace {

using testing::G;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Spit(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class DiskSettingsTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view name) const { return dir_.path() + "/" + std::string(name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir dir_;
};

TEST_F(DiskSettingsTest, CreatesTheFileAndWritesExactBytes) {
  const std::string path = Path("岚溪·DUVOvidu.ini");
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_TRUE(std::filesystem::exists(path));
  store.SetSection(G("JSON树"));
  EXPECT_TRUE(store.WriteNumber(G("选择夹"), 2));
  EXPECT_TRUE(store.WriteText(G("编辑框查找文本"), "name"));
  EXPECT_EQ(Slurp(path), G("[JSON树]\r\n编辑框查找文本=name\r\n选择夹=2"));
  EXPECT_TRUE(store.WriteText(G("编辑框查找文本"), "n"));
  EXPECT_EQ(Slurp(path), G("[JSON树]\r\n编辑框查找文本=n\r\n选择夹=2"));
  // No journal or temporary file is left beside it.
  EXPECT_EQ(Names(), std::vector<std::string>{"岚溪·DUVOvidu.ini"});
}

TEST_F(DiskSettingsTest, ExistingContentIsKeptAndEditedInPlace) {
  const std::string path = Path("s.ini");
  Spit(path, "; mine\r\n[s]\r\nk=1\r\n[other]\r\nx=y");
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
  EXPECT_EQ(store.WriteEntry("s", "k", "12345"), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "; mine\r\n[s]\r\nk=12345\r\n[other]\r\nx=y");
  EXPECT_EQ(store.WriteEntry("s", "k", ""), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "; mine\r\n[s]\r\nk=\r\n[other]\r\nx=y");
  struct stat after;
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, not a replacement
}

TEST_F(DiskSettingsTest, SecondStoreReadsWritesNothingAndTheFileStaysTheFirsts) {
  const std::string path = Path("s.ini");
  SettingsStore first;
  ASSERT_TRUE(first.Open(path));
  first.SetSection("s");
  ASSERT_TRUE(first.WriteText("k", "first"));

  SettingsStore second;
  EXPECT_FALSE(second.Open(path));
  second.SetSection("s");
  EXPECT_EQ(second.ReadText("k"), "first");
  EXPECT_FALSE(second.WriteText("k", "second"));
  EXPECT_FALSE(second.WriteText("new", "x"));
  EXPECT_EQ(Slurp(path), "[s]\r\nk=first");

  ASSERT_TRUE(first.WriteText("j", "1"));
  EXPECT_EQ(Slurp(path), "[s]\r\nj=1\r\nk=first");
  first.Close();
  SettingsStore third;
  EXPECT_TRUE(third.Open(path));
}

TEST_F(DiskSettingsTest, SideFilesAreCreatedInTheInibinFolder) {
  SettingsStore store;
  ASSERT_TRUE(store.Open(Path("s.ini")));
  store.SetSection(G("节"));
  EXPECT_TRUE(store.WriteBytes(G("键"), std::string("a\0b", 3)));
  EXPECT_EQ(Slurp(Path("inibin/节-键.ibn")), std::string("a\0b", 3));
  EXPECT_EQ(store.ReadBytes(G("键")), std::string("a\0b", 3));
  EXPECT_TRUE(store.WriteBytes(G("键"), "c"));
  EXPECT_EQ(store.ReadBytes(G("键")), "c");
  EXPECT_EQ(Slurp(Path("s.ini")), "");
}

TEST_F(DiskSettingsTest, SpecialFilesUnderTheSettingsNameAreNotUsed) {
  const std::string fifo = Path("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  SettingsStore store;
  EXPECT_FALSE(store.Open(fifo));  // returns at once instead of blocking
  EXPECT_EQ(store.ReadEntry("s", "k", "d"), "d");
  std::filesystem::create_directory(Path("dir.ini"));
  EXPECT_FALSE(store.Open(Path("dir.ini")));
  EXPECT_EQ(store.WriteEntry("s", "k", "1"), SettingsStore::kFailed);
}

TEST_F(DiskSettingsTest, ReadOnlyFileGivesAReadOnlyStore) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=1");
  ::chmod(path.c_str(), 0444);
  SettingsStore store;
  EXPECT_FALSE(store.Open(path));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
  EXPECT_EQ(store.WriteEntry("s", "k", "2"), SettingsStore::kFailed);
  EXPECT_EQ(Slurp(path), "[s]\r\nk=1");
}

TEST_F(DiskSettingsTest, JournalLeftByACrashIsRestoredOnOpen) {
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=9999");  // an edit of k=1 that stopped half way
  Spit(UndoJournalPath(path), EncodeUndoRecord({7, 8, "1"}));
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(Slurp(path), "[s]\r\nk=1");
  EXPECT_FALSE(std::filesystem::exists(UndoJournalPath(path)));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
}

}  // namespace
}  // namespace keelnode
