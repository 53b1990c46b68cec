#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/input_text.h"

namespace keelnode {
namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunWithStdin(std::vector<std::string> args, std::string stdin_bytes,
                       std::function<std::string(const std::string&)> fetch = nullptr) {
  std::ostringstream out, err;
  CommandLineIo io{out, err,
                   [&](std::string& bytes) {
                     bytes = stdin_bytes;
                     return true;
                   },
                   std::move(fetch)};
  args.push_back("-");
  int status = RunCommandLine(args, io);
  return {status, out.str(), err.str()};
}

TEST(CommandLineTest, TreeIndentsByDepthAndEscapesLineBreaks) {
  CliResult run = RunWithStdin({"--tree"}, "{\"a\":[10,\"x\\ty\"],\"b\":{\"c\":\"1\r\n2\"}}");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "JSON\n"
            "  a\n"
            "    [1]:10\n"
            "    [2]:\"x\\ty\"\n"
            "  b\n"
            "    c:\"1\\r\\n2\"\n");
  EXPECT_EQ(run.err, "");
}

TEST(CommandLineTest, PathsInBothFormsWithValuesOrDecodedValues) {
  const std::string doc = "{\"d\":[[\"\\u4e2d\"]],\"e\":\"&lt;\"}";
  EXPECT_EQ(RunWithStdin({"--paths", "--zero-based"}, doc).out,
            "d\t[[\"\\u4e2d\"]]\n"
            "d.[0]\t[\"\\u4e2d\"]\n"
            "d.[0].[0]\t\\u4e2d\n"
            "e\t&lt;\n");
  // The compact form of nested arrays does not resolve back: no value.
  EXPECT_EQ(RunWithStdin({"--paths", "--zero-based", "--compact-paths", "--decoded"}, doc).out,
            "d\t[[\"中\"]]\n"
            "d[0]\t[\"中\"]\n"
            "d[0][0]\t\n"
            "e\t<\n");
}

TEST(CommandLineTest, NodesAsJsonLines) {
  CliResult run = RunWithStdin({"--nodes"}, "[\"q\\\"\",\"\x01\"]");
  EXPECT_EQ(run.out,
            "{\"level\":1,\"kind\":2,\"name\":\"JSON\",\"value\":\"[\\\"q\\\\\\\"\\\","
            "\\\"\\u0001\\\"]\"}\n"
            "{\"level\":2,\"kind\":0,\"name\":\"[1]\",\"value\":\"\\\"q\\\\\\\"\\\"\"}\n"
            "{\"level\":2,\"kind\":0,\"name\":\"[2]\",\"value\":\"\\\"\\u0001\\\"\"}\n");
}

TEST(CommandLineTest, OptionsChangeTheDocument) {
  EXPECT_EQ(RunWithStdin({"--tree", "--single-quotes"}, "{'a':'b'}").out, "JSON\n  a:\"b\"\n");
  EXPECT_EQ(RunWithStdin({"--tree"}, "{'a':'b'}").out, "JSON\n  'a':'b'\n");
  EXPECT_EQ(RunWithStdin({"--tree", "--decode-first"}, "{\"k\":\"\\u4e2d\"}").out,
            "JSON\n  k:\"中\"\n");
}

TEST(CommandLineTest, InputEncodings) {
  // UTF-8 with a byte-order mark, GBK, and text ending at a zero byte.
  EXPECT_EQ(RunWithStdin({"--tree"}, "\xEF\xBB\xBF[\"中\"]").out, "JSON\n  [1]:\"中\"\n");
  EXPECT_EQ(RunWithStdin({"--tree"}, "[\"\xD6\xD0\"]").out, "JSON\n  [1]:\"中\"\n");
  EXPECT_EQ(RunWithStdin({"--tree"}, std::string("[1]\0[2]", 7)).out, "JSON\n  [1]:1\n");
  // Bytes that are not valid GB18030 print as U+FFFD.
  EXPECT_EQ(RunWithStdin({"--tree"}, "[\"\xFF\x30\"]").out, "JSON\n  [1]:\"\xEF\xBF\xBD\"\n");
  // A lead byte takes the colon after it: no member.
  EXPECT_EQ(RunWithStdin({"--tree"}, "{\x81:1}").out, "JSON\n");
  EXPECT_EQ(InputBytesToText("\xE4\xB8\xAD"), "\xD6\xD0");
}

TEST(CommandLineTest, UsageErrors) {
  std::ostringstream out, err;
  CommandLineIo io{out, err, nullptr, nullptr};
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {}, {"--tree"}, {"--bogus", "x"}, {"--tree", "--nope", "x"}, {"--paths", "a", "b"}}) {
    err.str("");
    EXPECT_EQ(RunCommandLine(args, io), 64);
    EXPECT_NE(err.str().find("usage: keelnode"), std::string::npos);
  }
  EXPECT_EQ(out.str(), "");
}

TEST(CommandLineTest, UnreadableInputsExitWithTwo) {
  std::ostringstream out, err;
  CommandLineIo io{out, err, [](std::string&) { return false; }, nullptr};
  EXPECT_EQ(RunCommandLine({"--tree", "/no/such/file"}, io), 2);
  EXPECT_EQ(RunCommandLine({"--tree", std::filesystem::temp_directory_path().string()}, io), 2);
  EXPECT_EQ(RunCommandLine({"--tree", "-"}, io), 2);
  EXPECT_EQ(out.str(), "");
  // One line per failure.
  const std::string messages = err.str();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 3);
}

TEST(CommandLineTest, ReadsFilesAndFetchesAddresses) {
  const auto path = std::filesystem::temp_directory_path() / "keelnode_cli_test.json";
  std::ofstream(path) << "[true]";
  std::ostringstream out, err;
  std::string fetched;
  CommandLineIo io{out, err, nullptr, [&](const std::string& address) {
                     fetched = address;
                     return address == "HTTP://host/x" ? std::string("{\"k\":1}") : std::string();
                   }};
  EXPECT_EQ(RunCommandLine({"--tree", path.string()}, io), 0);
  EXPECT_EQ(RunCommandLine({"--tree", "HTTP://host/x"}, io), 0);
  EXPECT_EQ(fetched, "HTTP://host/x");
  EXPECT_EQ(out.str(), "JSON\n  [1]:true\nJSON\n  k:1\n");
  EXPECT_EQ(RunCommandLine({"--tree", "https://host/empty"}, io), 2);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace keelnode
