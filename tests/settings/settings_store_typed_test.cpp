// Typed values, side files and the registry back end of the settings store.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "settings/memory_file_system.h"
#include "settings/registry_store.h"
#include "settings/settings_store.h"
#include "test_support.h"

namespace keelnode {
namespace {

using testing::G;

class TypedValuesTest : public ::testing::Test {
 protected:
  TypedValuesTest() {
    files_.AddDirectory("/data");
    EXPECT_TRUE(store_.Open("/data/s.ini"));
    store_.SetSection("s");
  }
  std::string Stored(std::string_view key) { return store_.ReadEntry("s", key, "<absent>"); }

  MemoryFileSystem files_;
  SettingsStore store_{files_};
};

TEST_F(TypedValuesTest, FlagsAreTrueAndFalseInChinese) {
  EXPECT_TRUE(store_.WriteFlag("on", true));
  EXPECT_TRUE(store_.WriteFlag("off", false));
  EXPECT_EQ(Stored("on"), G("真"));
  EXPECT_EQ(Stored("off"), G("假"));
  EXPECT_TRUE(store_.ReadFlag("on"));
  EXPECT_FALSE(store_.ReadFlag("off", true));
  store_.WriteEntry("s", "one", "1");
  EXPECT_FALSE(store_.ReadFlag("one", true));         // only "真" is true
  EXPECT_TRUE(store_.ReadFlagLenient("one", false));  // only "假" is false
  EXPECT_FALSE(store_.ReadFlagLenient("off", true));
  EXPECT_TRUE(store_.ReadFlag("absent", true));
  EXPECT_FALSE(store_.ReadFlagLenient("absent", false));
}

TEST_F(TypedValuesTest, NumbersUseThirteenSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {2, "2"},
      {0.5, "0.5"},
      {-3, "-3"},
      {1.0 / 3, "0.3333333333333"},
      {1e20, "1e+20"},
      {1e-7, "1e-07"},
      {123456789012345.0, "1.234567890123e+14"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_TRUE(store_.WriteNumber("n", value));
    EXPECT_EQ(Stored("n"), text) << value;
  }
  store_.WriteEntry("s", "n", "abc");
  EXPECT_EQ(store_.ReadNumber("n", 5), 0);
  store_.WriteEntry("s", "n", " 12.5abc");
  EXPECT_EQ(store_.ReadNumber("n"), 12.5);
  for (const char* not_finite : {"nan", "inf", "-infinity", "1e999", "+-1"}) {
    store_.WriteEntry("s", "n", not_finite);
    EXPECT_EQ(store_.ReadNumber("n", 5), 0) << not_finite;
  }
  // An absent key gives the default exactly, not its 13-digit text.
  EXPECT_EQ(store_.ReadNumber("absent", 0.1 + 0.2), 0.1 + 0.2);
}

TEST_F(TypedValuesTest, TextLineBreaksTravelAsMarks) {
  const std::string mark = G("┊*┊");
  EXPECT_TRUE(store_.WriteText("t", G("第一行\r\n第二行\r\n")));
  EXPECT_EQ(Stored("t"), G("第一行") + mark + G("第二行") + mark);
  EXPECT_EQ(store_.ReadText("t"), G("第一行\r\n第二行\r\n"));
  // A lone CR or LF stays as it is.
  store_.WriteText("t", "a\rb\nc");
  EXPECT_EQ(store_.ReadText("t"), "a\rb\nc");
  // A mark written as text comes back as a line break.
  store_.WriteText("t", "x" + mark + "y");
  EXPECT_EQ(store_.ReadText("t"), "x\r\ny");
  EXPECT_EQ(store_.ReadText("absent", "a\r\nb"), "a\r\nb");
  // Reopening reads the same.
  SettingsStore again(files_);
  again.Open("/data/s.ini", StorageMode::kMemoryOnly);
  again.SetSection("s");
  EXPECT_EQ(again.ReadText("t"), "x\r\ny");
}

TEST_F(TypedValuesTest, DateTimesRoundTrip) {
  using namespace std::chrono;
  const DateTime when = sys_days(2024y / February / 29) + 23h + 5min + 9s;
  EXPECT_TRUE(store_.WriteDateTime("d", when));
  EXPECT_EQ(Stored("d"), "2024-02-29 23:05:09");
  EXPECT_EQ(store_.ReadDateTime("d"), when);
  const DateTime fallback = sys_days(2000y / January / 1);
  for (const char* bad : {"2023-02-29 00:00:00", "2024-01-01 24:00:00", "yesterday", ""}) {
    store_.WriteEntry("s", "d", bad);
    EXPECT_EQ(store_.ReadDateTime("d", fallback), fallback) << bad;
  }
}

TEST_F(TypedValuesTest, BytesLiveInSideFilesOnly) {
  store_.SetSection(G("JSON树"));
  const std::string bytes("\x00\x01zero\xff", 7);
  EXPECT_TRUE(store_.WriteBytes(G("编辑框1"), bytes));
  EXPECT_EQ(files_.File("/data/inibin/JSON树-编辑框1.ibn"), bytes);
  EXPECT_EQ(store_.GetImageText(), "");
  EXPECT_EQ(store_.ReadBytes(G("编辑框1"), "d"), bytes);
  EXPECT_EQ(store_.ReadBytes("missing", "d"), "d");
  EXPECT_TRUE(store_.WriteBytes("empty", ""));
  EXPECT_EQ(store_.ReadBytes("empty", "d"), "d");
}

TEST_F(TypedValuesTest, SideFileNamesCannotLeaveTheirFolder) {
  EXPECT_FALSE(store_.WriteBytes("../../escape", "x"));
  store_.SetSection("a/b");
  EXPECT_FALSE(store_.WriteBytes("k", "x"));
  EXPECT_EQ(store_.ReadBytes("k", "d"), "d");
  EXPECT_FALSE(files_.File("/data/inibin/a/b-k.ibn").has_value());
}

class RegistryModeTest : public ::testing::Test {
 protected:
  RegistryModeTest() {
    const char* old = getenv("XDG_CONFIG_HOME");
    saved_ = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("XDG_CONFIG_HOME", "/config", 1);
    files_.AddDirectory("/data");
  }
  ~RegistryModeTest() override {
    if (saved_) {
      setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }

  std::optional<std::string> saved_;
  MemoryFileSystem files_;
};

TEST_F(RegistryModeTest, TypedValuesGoToTheRegistryFileUnderTheKeyPath) {
  SettingsStore store(files_);
  EXPECT_TRUE(store.Open("/data/" + std::string("岚溪·DUVOvidu.ini"), StorageMode::kRegistry));
  store.SetSection(G("JSON树"));
  EXPECT_TRUE(store.WriteNumber(G("选择夹"), 2));
  EXPECT_TRUE(store.WriteText("t", "a\r\nb"));
  EXPECT_EQ(RegistryFilePath(), "/config/keelnode/registry.ini");
  EXPECT_EQ(files_.File("/config/keelnode/registry.ini"),
            G("[岚溪软件\\岚溪·DUVOvidu\\JSON树]\r\nt=a┊*┊b\r\n选择夹=2"));
  EXPECT_FALSE(files_.File("/data/岚溪·DUVOvidu.ini").has_value());
  EXPECT_EQ(store.ReadNumber(G("选择夹")), 2);
  EXPECT_EQ(store.ReadText("t"), "a\r\nb");
  EXPECT_EQ(store.ReadNumber("absent", 4), 4);
  // A backslash in the key moves the split: the value name is what follows it.
  EXPECT_TRUE(store.WriteFlag("sub\\flag", true));
  EXPECT_EQ(ReadRegistryValue(files_, G("岚溪软件\\岚溪·DUVOvidu\\JSON树\\sub\\flag")), G("真"));
}

TEST_F(RegistryModeTest, TrailByteBackslashIsNotASeparator) {
  // "\x95\x5C" is one character whose second byte is the backslash code.
  const std::string name = "\x95\x5C";
  EXPECT_TRUE(WriteRegistryValue(files_, "root\\" + name, "1"));
  EXPECT_EQ(ReadRegistryValue(files_, "root\\" + name), "1");
  EXPECT_EQ(files_.File("/config/keelnode/registry.ini"), "[root]\r\n" + name + "=1");
}

TEST_F(RegistryModeTest, NoConfigFolderMeansDefaultsAndFailedWrites) {
  unsetenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  std::string saved_home = home ? home : "";
  unsetenv("HOME");
  SettingsStore store(files_);
  store.Open("/data/s.ini", StorageMode::kRegistry);
  store.SetSection("s");
  EXPECT_FALSE(store.WriteNumber("n", 1));
  EXPECT_EQ(store.ReadNumber("n", 3), 3);
  if (home) setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace keelnode
