#include "app/window_arguments.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

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

TEST(WindowArgumentsTest, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder) {
  const std::filesystem::path build =
      std::filesystem::temp_directory_path() / ("keelnode_build_" + std::to_string(getpid()));
  std::filesystem::create_directories(build / "src/app");
  std::filesystem::create_symlink(build / "src/app", build / "link");
  const std::string app = (build / "src/app").string();
  // Run from its build folder, by any name of it: beside the executable.
  EXPECT_EQ(DefaultDataDirectory(app, app, "/xdg", "/home/u"), app);
  EXPECT_EQ(DefaultDataDirectory((build / "link").string(), app, "/xdg", "/home/u"),
            (build / "link").string());
  // Anywhere else it is installed.
  for (const std::string& elsewhere : {std::string("/usr/bin"), build.string()}) {
    EXPECT_EQ(DefaultDataDirectory(elsewhere, app, "/xdg/", "/home/u"), "/xdg/keelnode");
    EXPECT_EQ(DefaultDataDirectory(elsewhere, app, nullptr, "/home/u"),
              "/home/u/.local/share/keelnode");
    // An empty or relative XDG_DATA_HOME counts as unset.
    EXPECT_EQ(DefaultDataDirectory(elsewhere, app, "", "/home/u"), "/home/u/.local/share/keelnode");
    EXPECT_EQ(DefaultDataDirectory(elsewhere, app, "rel", "/home/u"),
              "/home/u/.local/share/keelnode");
  }
  // A build folder that is gone makes no program a build-folder one.
  EXPECT_EQ(DefaultDataDirectory("/usr/bin", "/no/such/build", nullptr, "/h"),
            "/h/.local/share/keelnode");
  std::filesystem::remove_all(build);
  // --data-dir and the environment still come first.
  EXPECT_EQ(ResolveDataDirectory(std::nullopt, "/env", "/xdg/keelnode", "/cwd"), "/env");
}

TEST(WindowArgumentsTest, TheNewWindowOptionAndQtsOptionsAreWindowArguments) {
  std::string error;
  auto parsed = ParseWindowArguments({"--new-window", "-style", "fusion", "a.json"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->launch, Launch::kNewWindow);
  EXPECT_EQ(parsed->files, std::vector<std::string>{"a.json"});
  EXPECT_EQ(ParseWindowArguments({"a.json"}, &error)->launch, Launch::kJoinRunning);
}

TEST(WindowArgumentsTest, SettingsFileIsInTheRunDirectory) {
  EXPECT_EQ(SettingsFilePath("/run/dir"), "/run/dir/岚溪·DUVOvidu.ini");
}

}  // namespace
}  // namespace keelnode
