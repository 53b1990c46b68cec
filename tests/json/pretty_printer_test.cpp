#include "json/pretty_printer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "services/code_page.h"

namespace keelnode {
namespace {

std::string Pretty(std::string_view text) {
  return prettyPrint(text).text;
}

// ---- indentation ----

TEST(PrettyPrintTest, IndentsObjectsAndArrays) {
  EXPECT_EQ(Pretty(R"({"a":1,"b":[true,null,{"c":"x"}],"d":{}})"),
            "{\n"
            "  \"a\": 1,\n"
            "  \"b\": [\n"
            "    true,\n"
            "    null,\n"
            "    {\n"
            "      \"c\": \"x\"\n"
            "    }\n"
            "  ],\n"
            "  \"d\": {}\n"
            "}");
  EXPECT_EQ(Pretty("[ ]"), "[]");
  EXPECT_EQ(Pretty("42"), "42");
  EXPECT_EQ(Pretty(""), "");
  PrettyOptions four{.indentWidth = 4};
  EXPECT_EQ(prettyPrint("[[1]]", four).text, "[\n    [\n        1\n    ]\n]");
}

TEST(PrettyPrintTest, ExistingLayoutIsReplaced) {
  EXPECT_EQ(Pretty("{\r\n\t\"a\" :\n  [ 1 ,2 ] }"), "{\n  \"a\": [\n    1,\n    2\n  ]\n}");
}

TEST(PrettyPrintTest, LineStartsPointAfterEachBreak) {
  const PrettyText pretty = prettyPrint(R"({"a":[1,2]})");
  ASSERT_EQ(pretty.lineStarts.size(), 6u);
  for (size_t line = 0; line < pretty.lineStarts.size(); ++line) {
    const size_t start = pretty.lineStarts[line];
    if (line > 0) {
      EXPECT_EQ(pretty.text[start - 1], '\n');
    }
  }
  EXPECT_EQ(pretty.text.substr(pretty.lineStarts[2]), "    1,\n    2\n  ]\n}");
  EXPECT_EQ(prettyPrint("").lineStarts, std::vector<size_t>{0});
}

// ---- what it keeps as it is ----

TEST(PrettyPrintTest, StringsAreCopiedByteForByte) {
  const std::string value =
      R"({"url":"https://a.example/q?x=1&y=[2]&z={3}","s":"a\"b\\","u":"\u4e2d\/","h":"<p class='c'>, x: y</p>"})";
  const std::string pretty = Pretty(value);
  EXPECT_NE(pretty.find(R"("https://a.example/q?x=1&y=[2]&z={3}")"), std::string::npos);
  EXPECT_NE(pretty.find(R"("a\"b\\")"), std::string::npos);
  EXPECT_NE(pretty.find(R"("\u4e2d\/")"), std::string::npos);
  EXPECT_NE(pretty.find(R"("<p class='c'>, x: y</p>")"), std::string::npos);
  EXPECT_EQ(std::count(pretty.begin(), pretty.end(), '\n'), 5);
}

TEST(PrettyPrintTest, MultiByteCharactersAreNeverSplit) {
  // The second bytes of these characters are '[', ']', '{', '}' and '\'.
  const std::string trails = "\x81[\x81]\x81{\x81}\x81\\";
  EXPECT_EQ(Pretty("[" + trails + "]"), "[\n  " + trails + "\n]");
  EXPECT_EQ(Pretty("[\"" + trails + "\"]"), "[\n  \"" + trails + "\"\n]");
  const std::string cjk = Utf8ToGb18030("{\"名字\":\"中文 😀\"}");
  EXPECT_EQ(Pretty(cjk), Utf8ToGb18030("{\n  \"名字\": \"中文 😀\"\n}"));
}

TEST(PrettyPrintTest, TolerantInputIsKept) {
  EXPECT_EQ(Pretty("{a:'x',b:[1,2,],}"), "{\n  a: 'x',\n  b: [\n    1,\n    2,\n  ],\n}");
  EXPECT_EQ(Pretty("{\"a\":1 // one\n,/* two */\"b\":2}"),
            "{\n  \"a\": 1 // one\n  ,\n  /* two */\"b\": 2\n}");
  EXPECT_EQ(Pretty("[True  False, undefined x]"), "[\n  True False,\n  undefined x\n]");
}

TEST(PrettyPrintTest, BrokenInputNeverFails) {
  EXPECT_EQ(Pretty("]]}{"), "]\n]\n}{");
  EXPECT_EQ(Pretty("{\"open"), "{\n  \"open");
  EXPECT_EQ(Pretty("[1, /* open"), "[\n  1,\n  /* open");
  EXPECT_EQ(Pretty("{\"a\":\"x\\"), "{\n  \"a\": \"x\\");
  EXPECT_EQ(Pretty("\x81"), "\x81");
  EXPECT_EQ(Pretty("[\"\x81\"]"), "[\n  \"\x81\"]");
  EXPECT_EQ(Pretty("[\x81"), "[\n  \x81");
  EXPECT_EQ(Pretty("::,,"), ": : ,\n,");
}

TEST(PrettyPrintTest, DeepNestingIsLinearAndIterative) {
  const int levels = 100000;
  const std::string deep = std::string(levels, '[') + std::string(levels, ']');
  const PrettyText pretty = prettyPrint(deep, {.indentWidth = 2, .deepestIndentedLevel = 64});
  EXPECT_EQ(pretty.lineStarts.size(), static_cast<size_t>(2 * levels - 1));
  // Indentation stops growing at the deepest indented level.
  EXPECT_LE(pretty.text.size(), static_cast<size_t>(2 * levels * (1 + 1 + 2 * 64)));
  EXPECT_EQ(pretty.text.substr(pretty.lineStarts[levels - 1]).substr(0, 130),
            std::string(128, ' ') + "[]");
  EXPECT_EQ(minify(pretty.text), deep);
}

// ---- minify ----

TEST(MinifyTest, RemovesLayoutOnly) {
  EXPECT_EQ(minify("{\n  \"a b\" : [ 1 , 2 ],\n\t\"c\": 'd e'\n}"), "{\"a b\":[1,2],\"c\":'d e'}");
  EXPECT_EQ(minify("[True  False]"), "[True False]");
  EXPECT_EQ(minify("[1 // c\n, 2]"), "[1 // c\n,2]");
  EXPECT_EQ(minify("1 /* c */ 2"), "1 /* c */ 2");
  EXPECT_EQ(minify("   "), "");
}

TEST(MinifyTest, PrettyThenMinifyEqualsMinify) {
  const char* samples[] = {
      R"({"a":1,"b":[true,null,{"c":"x y"}],"d":{},"e":[]})",
      "{a:'x',b:[1,2,],} // end",
      "[1 // c\n, /* d */ 2 x y]",
      "]]}{ :: ,, \"open",
      "[\x81[\x81] \"\x81\\\"\" 3]",
      "{\"url\":\"https://a.example/?p=1&q=2\",\"html\":\"<b>粗</b>\",\"n\":-1.5e3}",
      "/* open",
      "a // b",
  };
  for (const char* sample : samples) {
    EXPECT_EQ(minify(Pretty(sample)), minify(sample)) << sample;
    EXPECT_EQ(Pretty(minify(sample)), Pretty(sample)) << sample;
  }
}

// ---- classifyLine ----

std::string Kinds(std::string_view line) {
  std::string out;
  for (const Token& token : classifyLine(line)) {
    const char* names[] = {"plain", "name", "string", "number", "literal", "bracket"};
    out += std::string(line.substr(token.begin, token.length)) + "=" +
           names[static_cast<int>(token.kind)] + " ";
  }
  return out;
}

TEST(ClassifyLineTest, NamesStringsNumbersLiteralsBrackets) {
  EXPECT_EQ(Kinds(R"(  "id": -12.5e3,)"), R"("id"=name -12.5e3=number )");
  EXPECT_EQ(Kinds(R"("a" : "b:c", x: true, 'q': null)"),
            R"("a"=name "b:c"=string x=name true=literal 'q'=name null=literal )");
  EXPECT_EQ(Kinds("[{}], false 1x nil"), "[=bracket {=bracket }=bracket ]=bracket false=literal ");
  EXPECT_EQ(Kinds("\"open [1"), "\"open [1=string ");
  EXPECT_EQ(Kinds("// \"c\": 1"), "");
  // ':' after a lead byte is that character's second byte, not a separator.
  EXPECT_EQ(Kinds("\x81:1"), "");
  EXPECT_EQ(Kinds("\x81\x81:1"), "\x81\x81=name 1=number ");
}

}  // namespace
}  // namespace keelnode
