#include "app/program_command.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

ProgramCommand Parse(const std::vector<std::string>& args) {
  std::string error;
  std::optional<ProgramCommand> command = ParseProgramCommand(args, &error);
  EXPECT_TRUE(command) << error;
  return command ? std::move(*command) : ProgramCommand{};
}

std::string Refusal(const std::vector<std::string>& args) {
  std::string error;
  EXPECT_FALSE(ParseProgramCommand(args, &error)) << args.front();
  return error;
}

TEST(ProgramCommandTest, OptionsComeInAnyOrderAroundTheInput) {
  ProgramCommand command = Parse({"-", "--zero-based", "--paths", "--decoded"});
  EXPECT_EQ(command.action, Action::kPaths);
  EXPECT_EQ(command.input, "-");
  EXPECT_TRUE(command.document.zeroBased);
  EXPECT_TRUE(command.document.decoded);
  EXPECT_FALSE(command.document.compactPaths);

  command = Parse({"--search", "-x", "--regex", "--ignore-case", "f.json"});
  EXPECT_EQ(command.action, Action::kSearch);
  EXPECT_EQ(command.search.text, "-x");  // a value is taken as it is
  EXPECT_EQ(command.search.mode, MatchMode::kPattern);
  EXPECT_EQ(command.search.letterCase, LetterCase::kIgnore);
  EXPECT_EQ(command.input, "f.json");

  command = Parse({"--value=a=b", "--compact-paths", "--", "--tree"});
  EXPECT_EQ(command.action, Action::kValue);
  EXPECT_EQ(command.path, "a=b");
  EXPECT_EQ(command.input, "--tree");  // after "--" every argument is an input

  EXPECT_EQ(command.pathSyntax, std::nullopt);

  command = Parse({"--path-syntax", "pointer", "--value", "/a", "-"});
  EXPECT_EQ(command.pathSyntax, PathSyntax::kJsonPointer);
  EXPECT_EQ(command.path, "/a");
  EXPECT_EQ(Parse({"--paths", "--path-syntax=python", "-"}).pathSyntax, PathSyntax::kPython);
  EXPECT_EQ(Refusal({"--path-syntax", "js"}),
            "--path-syntax belongs to a mode: --tree, --paths, --nodes, --value or --search");

  command = Parse({"--search", "*", "--wildcard", "--wildcard", "x"});
  EXPECT_EQ(command.search.mode, MatchMode::kWildcard);
  EXPECT_EQ(command.search.letterCase, LetterCase::kExact);
}

TEST(ProgramCommandTest, TheWindowTakesFilesItsOptionsAndQtsOwn) {
  ProgramCommand command = Parse({"-style", "fusion", "a.json", "--platform=offscreen",
                                  "--new-window", "-reverse", "--data-dir=/d", "-"});
  EXPECT_EQ(command.action, Action::kWindow);
  EXPECT_EQ(command.window.files, (std::vector<std::string>{"a.json", "-"}));
  EXPECT_EQ(command.window.dataDir, "/d");
  EXPECT_EQ(command.window.launch, Launch::kNewWindow);
  EXPECT_EQ(Parse({}).window.launch, Launch::kJoinRunning);

  EXPECT_EQ(Refusal({"--zero-based", "a.json"}),
            "--zero-based belongs to a mode: --tree, --paths, --nodes, --value or --search");
  EXPECT_EQ(Refusal({"--ignore-case"}),
            "--ignore-case belongs to a mode: --tree, --paths, --nodes, --value or --search");
  EXPECT_EQ(Refusal({"-reverse=1"}), "unknown option -reverse=1");  // takes no value
  EXPECT_EQ(Refusal({"-style"}), "-style needs a value");
  EXPECT_EQ(Refusal({"1", "2", "3", "4", "5", "6", "7", "8"}), "at most 7 files, one per tab");
}

TEST(ProgramCommandTest, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(Parse({"a.json", "-h", "--bogus"}).action, Action::kHelp);
  EXPECT_EQ(Parse({"--version", "--tree"}).action, Action::kVersion);
  // What comes before is read first.
  EXPECT_EQ(Refusal({"--bogus", "--help"}), "unknown option --bogus");
}

}  // namespace
}  // namespace keelnode
