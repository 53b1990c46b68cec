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

// "keelnode X.Y.Z\n" with each part a run of digits.
bool IsVersionLine(const std::string& line) {
  const std::string prefix = "keelnode ";
  if (line.rfind(prefix, 0) != 0 || line.empty() || line.back() != '\n') return false;
  std::istringstream parts(line.substr(prefix.size(), line.size() - prefix.size() - 1));
  std::string part;
  int count = 0;
  while (std::getline(parts, part, '.')) {
    if (part.empty() ||
        !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    ++count;
  }
  return count == 3;
}

CliResult RunWithStdin(std::vector<std::string> args, std::string stdin_bytes,
                       std::function<FetchResult(const std::string&)> fetch = nullptr) {
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

// UTF-16 bytes with their byte-order mark in front.
std::string Utf16Bytes(std::u16string_view units, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(CommandLineTest, Utf16WithAByteOrderMarkIsDecodedInEitherByteOrder) {
  // CJK, a character beyond the BMP (a surrogate pair), an escape and an
  // address with a query; the zero bytes of ASCII must not cut it.
  const std::u16string document =
      u"{\"名称\":\"岚溪\U0001F600\",\"note\":\"\\u5c9a\",\"url\":\"https://example.com/"
      u"?a=1&b=2\"}";
  const std::string tree =
      "JSON\n  名称:\"岚溪\U0001F600\"\n  note:\"\\u5c9a\"\n"
      "  url:\"https://example.com/?a=1&b=2\"\n";
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian);
    const CliResult result = RunWithStdin({"--tree"}, Utf16Bytes(document, bigEndian));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, tree);
  }
  // A lone surrogate becomes "?", and so does half a unit at the end.
  std::u16string lone = u"[\"a_b\",\"_\"]";
  lone[3] = 0xD800;  // a high surrogate with no low one after it
  lone[8] = 0xDC00;  // a low one with no high one before it
  for (bool bigEndian : {false, true})
    EXPECT_EQ(RunWithStdin({"--tree"}, Utf16Bytes(lone, bigEndian)).out,
              "JSON\n  [1]:\"a?b\"\n  [2]:\"?\"\n");
  EXPECT_EQ(InputBytesToText(Utf16Bytes(u"[1]", false) + "\x5D"), "[1]?");
  EXPECT_EQ(InputBytesToText("\xFF\xFE"), "");
  // A zero unit ends the text, as a zero byte ends any other.
  EXPECT_EQ(RunWithStdin({"--tree"}, Utf16Bytes(std::u16string(u"[1]\0[2]", 7), false)).out,
            "JSON\n  [1]:1\n");
  // Without a mark, UTF-16 is still cut at its first zero byte.
  EXPECT_EQ(RunWithStdin({"--tree"}, Utf16Bytes(u"[1]", false).substr(2)).out, "JSON\n");
}

TEST(CommandLineTest, UsageErrorsAreOneLineAndReadNothing) {
  std::ostringstream out, err;
  bool readInput = false;
  CommandLineIo io{out, err,
                   [&](std::string&) {
                     readInput = true;
                     return true;
                   },
                   nullptr};
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no mode given"},
      {{"--tree"}, "--tree needs a file, - or an address"},
      {{"--bogus", "x"}, "unknown option --bogus"},
      {{"--tree", "--nope", "x"}, "unknown option --nope"},
      {{"--paths", "a", "b"}, "one input at a time: b"},
      {{"--value"}, "--value needs a value"},
      {{"--tree", "--value", "a", "-"}, "one mode at a time: --tree and --value"},
      {{"--tree", "--regex", "-"}, "--regex belongs to --search"},
      {{"--search", "a", "--wildcard", "--regex", "-"},
       "--wildcard and --regex exclude each other"},
      {{"--tree", "--data-dir", "d", "-"}, "--data-dir is for the window, not for --tree"},
      {{"--nodes", "--new-window", "-"}, "--new-window is for the window, not for --nodes"},
      {{"--value", "a", "-style", "x", "-"}, "-style is for the window, not for --value"},
      {{"--search", "(", "--regex", "-"}, "not a valid regular expression: ("},
      {{"--paths", "--path-syntax", "perl", "-"},
       "unknown path syntax perl: js, jq, jsonpath, pointer or python"},
      {{"--paths", "--path-syntax"}, "--path-syntax needs a value"},
      {{"--tree", "--path-syntax=js", "-"},
       "--path-syntax belongs to --paths, --value or --search, not to --tree"},
      {{"--nodes", "--path-syntax", "jq", "-"},
       "--path-syntax belongs to --paths, --value or --search, not to --nodes"},
  };
  for (const auto& [args, reason] : cases) {
    err.str("");
    EXPECT_EQ(RunCommandLine(args, io), 64) << reason;
    EXPECT_EQ(err.str(), "keelnode: " + reason + "; see keelnode --help\n");
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(readInput);
}

TEST(CommandLineTest, HelpListsEveryOptionAndVersionIsOneLine) {
  std::ostringstream out, err;
  CommandLineIo io{out, err, nullptr, nullptr};
  // --help wins wherever it stands; nothing else is read.
  EXPECT_EQ(RunCommandLine({"--tree", "--help", "/no/such/file"}, io), 0);
  const std::string help = out.str();
  EXPECT_EQ(help.rfind("usage: keelnode", 0), 0u);
  for (const char* option :
       {"--data-dir", "--new-window", "--tree", "--paths", "--nodes", "--value", "--search",
        "--wildcard", "--regex", "--ignore-case", "--zero-based", "--single-quotes",
        "--decode-first", "--compact-paths", "--decoded", "--path-syntax", "--help", "--version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  out.str("");
  EXPECT_EQ(RunCommandLine({"--version"}, io), 0);
  EXPECT_TRUE(IsVersionLine(out.str())) << out.str();
  EXPECT_EQ(err.str(), "");
}

// A response as a web interface sends it: URLs with query strings, HTML,
// \u escapes, CJK text, a name with a dot, nested arrays.
const char kResponse[] =
    "{\"status\":\"ok\",\"data\":[{\"id\":1001,\"name\":\"岚溪\","
    "\"url\":\"https://example.com/u?a=1&b=2\",\"html\":\"<b>AT&amp;T</b>\","
    "\"msg\":\"\\u8bf7\\u6c42\"},"
    "{\"id\":1002,\"name\":\"Ada \\\"the first\\\"\",\"tags\":[],\"a.b\":\"dot\",\"empty\":\"\","
    "\"note\":\"line1\\nline2\"}],"
    "\"nested\":[[1,2],[3]],\"m[2]\":5}";

TEST(CommandLineTest, ValueAtAPathInEitherForm) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> found = {
      {{"--value", "data.[1].name"}, "岚溪\n"},
      {{"--value", "data[1].name"}, "岚溪\n"},
      {{"--value=data[1].url"}, "https://example.com/u?a=1&b=2\n"},
      {{"--value", "data.[1].msg"}, "\\u8bf7\\u6c42\n"},
      {{"--value", "data.[1].msg", "--decoded"}, "请求\n"},
      {{"--decoded", "--value", "data.[1].html"}, "<b>AT&T</b>\n"},
      {{"--value", "data.[2].name"}, "Ada \\\"the first\\\"\n"},
      {{"--value", "data.[2].\"a.b\""}, "dot\n"},
      {{"--value", "data.[2].''a.b''"}, "dot\n"},
      {{"--value", "data.[2].empty"}, "\n"},
      {{"--value", "data.[2].tags"}, "[]\n"},
      {{"--value", "data.[2].note"}, "line1\\nline2\n"},
      {{"--value", "nested.[1].[2]"}, "2\n"},
      {{"--value", "data.[0].id", "--zero-based"}, "1001\n"},
      {{"--value", "m[2]"}, "5\n"},
      {{"--value", "data.[2]", "--compact-paths"},
       R"({"id":1002,"name":"Ada \"the first\"","tags":[],"a.b":"dot","empty":"","note":"line1\nline2"})"
       "\n"},
  };
  for (const auto& [args, expected] : found) {
    const CliResult run = RunWithStdin(args, kResponse);
    EXPECT_EQ(run.status, 0) << args.front() << " " << args.back();
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
  }
  // The whole document for the empty path, without the whitespace next to
  // brackets, braces and quotes.
  EXPECT_EQ(RunWithStdin({"--value", ""}, "{ \"a\" : [1, 2] }\n").out, "{\"a\":[1, 2]}\n");

  const std::vector<std::vector<std::string>> missing = {
      {"--value", "data.[3]"},
      {"--value", "Data.[1].name"},  // names are compared with their case
      {"--value", "data.[2].name", "--zero-based"},
      // Compact paths through directly nested arrays do not resolve, and
      // with --compact-paths a name that looks like an index does not either.
      {"--value", "nested[1][2]"},
      {"--value", "m[2]", "--compact-paths"},
  };
  for (const auto& args : missing) {
    const CliResult run = RunWithStdin(args, kResponse);
    EXPECT_EQ(run.status, 1) << args[1];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "keelnode: nothing at " + args[1] + "\n");
  }
}

TEST(CommandLineTest, EveryPathThatPathsPrintsGivesItsValueBack) {
  for (const std::vector<std::string>& options : {std::vector<std::string>{},
                                                  {"--compact-paths"},
                                                  {"--zero-based", "--decoded"},
                                                  {"--compact-paths", "--decoded"}}) {
    std::vector<std::string> args = {"--paths"};
    args.insert(args.end(), options.begin(), options.end());
    std::istringstream lines(RunWithStdin(args, kResponse).out);
    int checked = 0;
    for (std::string line; std::getline(lines, line); ++checked) {
      const size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string::npos) << line;
      std::vector<std::string> value = {"--value", line.substr(0, tab)};
      value.insert(value.end(), options.begin(), options.end());
      const CliResult run = RunWithStdin(value, kResponse);
      if (run.status == 0) {
        EXPECT_EQ(run.out, line.substr(tab + 1) + "\n") << line;
      } else {
        // Only a path the window cannot read back either shows no value.
        EXPECT_EQ(run.status, 1) << line;
        EXPECT_EQ(line.substr(tab + 1), "") << line;
      }
    }
    EXPECT_EQ(checked, 22);
  }
}

// Each syntax in place of the path box text, the value column unchanged;
// every path printed reads back, with --value in that syntax, to its value.
TEST(CommandLineTest, PathsInAnotherToolsSyntax) {
  const std::string plain = RunWithStdin({"--paths"}, kResponse).out;
  const std::vector<std::pair<std::string, std::vector<std::string>>> syntaxes = {
      {"js", {"status", "data[0].name", "data[1][\"a.b\"]", "nested[1][0]", "[\"m[2]\"]"}},
      {"jq", {".status", ".data[0].name", ".data[1].\"a.b\"", ".nested[1][0]", ".\"m[2]\""}},
      {"jsonpath",
       {"$.status", "$.data[0].name", "$.data[1]['a.b']", "$.nested[1][0]", "$['m[2]']"}},
      {"pointer", {"/status", "/data/0/name", "/data/1/a.b", "/nested/1/0", "/m[2]"}},
      {"python",
       {"[\"status\"]", "[\"data\"][0][\"name\"]", "[\"data\"][1][\"a.b\"]", "[\"nested\"][1][0]",
        "[\"m[2]\"]"}},
  };
  for (const auto& [name, expected] : syntaxes) {
    SCOPED_TRACE(name);
    const CliResult run = RunWithStdin({"--paths", "--path-syntax", name}, kResponse);
    EXPECT_EQ(run.status, 0);
    std::istringstream lines(run.out), plainLines(plain);
    std::vector<std::string> paths;
    for (std::string line, plainLine; std::getline(lines, line);) {
      ASSERT_TRUE(std::getline(plainLines, plainLine));
      const size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string::npos) << line;
      EXPECT_EQ(line.substr(tab), plainLine.substr(plainLine.find('\t'))) << line;
      paths.push_back(line.substr(0, tab));
      const CliResult value =
          RunWithStdin({"--value", paths.back(), "--path-syntax", name}, kResponse);
      EXPECT_EQ(value.status, 0) << paths.back();
      EXPECT_EQ(value.out, line.substr(tab + 1) + "\n") << paths.back();
    }
    ASSERT_EQ(paths.size(), 22u);
    for (const std::string& path : expected)
      EXPECT_NE(std::find(paths.begin(), paths.end(), path), paths.end()) << path;
  }
  // Names as JSON decodes them; a syntax changes only how paths are written.
  EXPECT_EQ(RunWithStdin({"--search", "first", "--path-syntax", "jq"}, kResponse).out,
            ".data[1].name\n");
  EXPECT_EQ(
      RunWithStdin({"--value", "/data/0/msg", "--path-syntax", "pointer", "--decoded"}, kResponse)
          .out,
      "请求\n");
  // Without --path-syntax, --value reads its path as before.
  EXPECT_EQ(RunWithStdin({"--value", "/data/0/msg"}, kResponse).status, 1);
  EXPECT_EQ(RunWithStdin({"--value", "data[1].id", "--path-syntax", "js"}, kResponse).out,
            "1002\n");
}

TEST(CommandLineTest, SearchPrintsThePathOfEveryMatchingItem) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> found = {
      {{"--search", "name"}, "data.[1].name\ndata.[2].name\n"},
      {{"--search", "NAME", "--ignore-case"}, "data.[1].name\ndata.[2].name\n"},
      {{"--search=岚溪"}, "data.[1].name\n"},
      {{"--search", "i*d", "--wildcard"}, "data.[1].id\ndata.[2].id\n"},
      {{"--search", "d?t", "--wildcard"}, "data\ndata.[2].\"a.b\"\n"},
      {{"--search", "^\\[\\d\\]$", "--regex"}, "data.[1]\ndata.[2]\nnested.[1]\nnested.[2]\n"},
      {{"--search", "^\\[\\d\\]$", "--regex", "--compact-paths"},
       "data[1]\ndata[2]\nnested[1]\nnested[2]\n"},
      {{"--search", "&b=2"}, "data.[1].url\n"},
      {{"--search", "line1\\nline2"}, "data.[2].note\n"},
      // The root's path is empty.
      {{"--search", "JSON"}, "\n"},
  };
  for (const auto& [args, expected] : found) {
    const CliResult run = RunWithStdin(args, kResponse);
    EXPECT_EQ(run.status, 0) << args[1];
    EXPECT_EQ(run.out, expected) << args[1];
    EXPECT_EQ(run.err, "");
  }
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--search", "NAME"},
                                               {"--search", ""},
                                               {"--search", "x*z", "--wildcard"}}) {
    const CliResult run = RunWithStdin(args, kResponse);
    EXPECT_EQ(run.status, 1) << args[1];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
  }
}

TEST(CommandLineTest, SearchStepsOverFourByteCharacters) {
  // 귮 82 38 82 39 and 귯 82 38 83 30 hold 닙 82 39 82 38 across their
  // boundary; four-byte characters also stand next to quotes, brackets,
  // digits and a full-width space, which the parser's masks step over.
  const std::string doc = "{\"귮귯\":[\"귮\",8,\"中œ　\"],\"x\":\"0닙\"}";
  EXPECT_EQ(RunWithStdin({"--tree"}, doc).out,
            "JSON\n"
            "  귮귯\n"
            "    [1]:\"귮\"\n"
            "    [2]:8\n"
            "    [3]:\"中œ\"\n"  // the blank before a quote goes, as always
            "  x:\"0닙\"\n");
  for (const std::vector<std::string>& mode :
       {std::vector<std::string>{}, {"--regex"}, {"--wildcard"}}) {
    std::vector<std::string> args = {"--search", "닙"};
    args.insert(args.end(), mode.begin(), mode.end());
    EXPECT_EQ(RunWithStdin(args, doc).out, "x\n");
    args[1] = "귯";
    EXPECT_EQ(RunWithStdin(args, doc).out, "귮귯\n");
    args[1] = "9";  // only inside 귮
    EXPECT_EQ(RunWithStdin(args, doc).status, 1);
  }
  const CliResult across = RunWithStdin({"--search", "닙", "--compact-paths"}, "{\"k\":\"귮귯\"}");
  EXPECT_EQ(across.status, 1);
  EXPECT_EQ(across.out, "");
}

TEST(CommandLineTest, SearchOnLongLabelsFindsOrExitsWithThree) {
  const std::string doc = "{\"long\":\"" + std::string(5'000'000, 'x') + "z\",\"runaway\":\"" +
                          std::string(50'000, 'a') + "b\",\"short\":\"aaa\"}";
  const CliResult found = RunWithStdin({"--search", "(x|y)+z", "--regex"}, doc);
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, "long\n");
  const CliResult runaway = RunWithStdin({"--search", "(a+)+\"$", "--regex"}, doc);
  EXPECT_EQ(runaway.status, 3);
  EXPECT_EQ(runaway.out, "");
  EXPECT_EQ(std::count(runaway.err.begin(), runaway.err.end(), '\n'), 1);
  EXPECT_EQ(runaway.err.rfind("keelnode: the search stopped: ", 0), 0u) << runaway.err;
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
  CommandLineIo io{out, err, nullptr, [&](const std::string& address) -> FetchResult {
                     fetched = address;
                     if (address == "HTTP://host/x") return std::string("{\"k\":1}");
                     if (address == "https://host/empty") return std::string();
                     return Fail(FetchFailure::kTimeout);
                   }};
  EXPECT_EQ(RunCommandLine({"--tree", path.string()}, io), 0);
  EXPECT_EQ(RunCommandLine({"--tree", "HTTP://host/x"}, io), 0);
  EXPECT_EQ(fetched, "HTTP://host/x");
  EXPECT_EQ(out.str(), "JSON\n  [1]:true\nJSON\n  k:1\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(RunCommandLine({"--tree", "https://host/empty"}, io), 2);
  EXPECT_EQ(RunCommandLine({"--tree", "http://host/slow"}, io), 2);
  EXPECT_EQ(err.str(),
            "keelnode: cannot fetch https://host/empty: the response is empty\n"
            "keelnode: cannot fetch http://host/slow: timed out\n");
  std::filesystem::remove(path);
}

TEST(CommandLineTest, ADocumentTooLargeForTheMemoryLeftIsRefusedUpFront) {
  std::string wide = "[";
  for (int i = 0; i < 10000; ++i)
    wide += "\"https://x.cn/?a=1&b=\\u4e2d\",";
  wide += "0]";
  ASSERT_EQ(setenv("KEELNODE_MEMORY_AVAILABLE", "1000000", 1), 0);
  const CliResult refused = RunWithStdin({"--tree"}, wide);
  const CliResult small = RunWithStdin({"--tree"}, "[1]");
  ASSERT_EQ(unsetenv("KEELNODE_MEMORY_AVAILABLE"), 0);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err.rfind("keelnode: not enough memory to load -: it needs about ", 0), 0u)
      << refused.err;
  EXPECT_NE(refused.err.find(" MiB, 1 MiB are available\n"), std::string::npos) << refused.err;
  EXPECT_EQ(small.status, 0);
  EXPECT_EQ(RunWithStdin({"--tree"}, wide).status, 0);
}

TEST(CommandLineTest, AnAddressArgumentIsReadAsUtf8) {
  std::ostringstream out, err;
  std::string fetched;
  CommandLineIo io{out, err, nullptr, [&](const std::string& address) {
                     fetched = address;
                     return std::string("[1]");
                   }};
  EXPECT_EQ(RunCommandLine({"--tree", "http://127.0.0.1/中文?q=名&x=1"}, io), 0);
  // The same characters in program text (GB18030), each converted once.
  EXPECT_EQ(fetched, "http://127.0.0.1/\xD6\xD0\xCE\xC4?q=\xC3\xFB&x=1");
}

// A stream buffer that refuses every byte, as a full disk or a closed stdout.
class RefusingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(CommandLineTest, OutputThatCannotBeWrittenExitsWithTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--tree", "-"}, {"--paths", "-"}, {"--nodes", "-"}, {"--help"}, {"--version"}}) {
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    CommandLineIo io{out, err,
                     [](std::string& bytes) {
                       bytes = "{\"k\":[\"\\u4e2d\",2]}";
                       return true;
                     },
                     nullptr};
    EXPECT_EQ(RunCommandLine(args, io), 2) << args[0];
    EXPECT_EQ(err.str(), "keelnode: cannot write the output\n") << args[0];
  }
}

}  // namespace
}  // namespace keelnode
