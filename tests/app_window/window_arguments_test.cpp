#include "app/window_arguments.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

std::optional<WindowArguments> Parse(std::vector<std::string> args, std::string* error) {
  return ParseWindowArguments(args, error);
}

TEST(WindowArgumentsTest, TakesTheDataDirAndFilesInAnyOrder) {
  std::string error;
  auto parsed = Parse({"a.json", "--data-dir", "/d", "-", "b.json"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->dataDir, "/d");
  EXPECT_EQ(parsed->files, (std::vector<std::string>{"a.json", "-", "b.json"}));

  parsed = Parse({"--data-dir=/e", "--", "--data-dir"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->dataDir, "/e");
  EXPECT_EQ(parsed->files, std::vector<std::string>{"--data-dir"});

  parsed = Parse({}, &error);
  ASSERT_TRUE(parsed);
  EXPECT_FALSE(parsed->dataDir);
  EXPECT_TRUE(parsed->files.empty());
}

TEST(WindowArgumentsTest, RefusesBadUsageWithAReason) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--data-dir"},
                                               {"--data-dir", ""},
                                               {"--data-dir="},
                                               {"--tree"},
                                               {"-x", "a"},
                                               {"1", "2", "3", "4", "5", "6", "7", "8"}}) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error)) << args.front();
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  EXPECT_TRUE(Parse({"1", "2", "3", "4", "5", "6", "7"}, &error));
}

TEST(WindowArgumentsTest, DataDirectoryPrefersTheOptionThenTheEnvironment) {
  EXPECT_EQ(ResolveDataDirectory("/opt/d/", "/env", "/exe", "/cwd"), "/opt/d");
  EXPECT_EQ(ResolveDataDirectory(std::nullopt, "/env/", "/exe", "/cwd"), "/env");
  EXPECT_EQ(ResolveDataDirectory(std::nullopt, "", "/exe", "/cwd"), "/exe");
  EXPECT_EQ(ResolveDataDirectory(std::nullopt, nullptr, "/exe", "/cwd"), "/exe");
  // Relative folders are taken from the working directory.
  EXPECT_EQ(ResolveDataDirectory("data/./x", nullptr, "/exe", "/cwd"), "/cwd/data/x");
  EXPECT_EQ(ResolveDataDirectory(std::nullopt, "../up", "/exe", "/cwd/sub"), "/cwd/up");
  EXPECT_EQ(ResolveDataDirectory("/", nullptr, "/exe", "/cwd"), "/");
}

TEST(WindowArgumentsTest, SettingsFileIsInTheRunDirectory) {
  EXPECT_EQ(SettingsFilePath("/run/dir"), "/run/dir/岚溪·DUVOvidu.ini");
}

}  // namespace
}  // namespace keelnode
