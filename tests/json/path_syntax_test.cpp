#include "json/path_syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/member_name.h"
#include "json/path_reading.h"
#include "json/path_steps.h"
#include "services/code_page.h"

namespace keelnode {
namespace {

// Tests write texts in UTF-8; the program holds them in its code page.
std::string T(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

TEST(MemberNameTest, DecodesAsJsonReadersDo) {
  EXPECT_EQ(DecodeMemberName("plain"), "plain");
  EXPECT_EQ(DecodeMemberName("e#SYH#f"), "e\"f");  // the splitter's stored escaped quote
  EXPECT_EQ(DecodeMemberName("e\\\"f"), "e\"f");
  EXPECT_EQ(DecodeMemberName("caf\\u00e9"), T("café"));
  EXPECT_EQ(DecodeMemberName("\\u4E2D\\u6587"), T("中文"));
  EXPECT_EQ(DecodeMemberName("\\ud83d\\ude00!"), T("😀!"));
  EXPECT_EQ(DecodeMemberName("a\\\\b\\/c\\n\\t"), "a\\b/c\n\t");
  // A lone surrogate has no character; an unknown escape stays as written.
  EXPECT_EQ(DecodeMemberName("\\ud83dx"), "?x");
  EXPECT_EQ(DecodeMemberName("\\q\\u12"), "\\q\\u12");
  // The second byte of a double-byte character is never an escape's backslash.
  EXPECT_EQ(DecodeMemberName("\x81\x5Cn"), "\x81\x5Cn");
}

// Each name in its own member of one object, so that every syntax writes
// the member's path from the root.
struct AwkwardName {
  std::string raw;  // as written in the document, in UTF-8
  std::string js, jq, jsonPath, pointer, python;
};

const std::vector<AwkwardName>& AwkwardNames() {
  static const std::vector<AwkwardName> names = {
      {"name", "name", ".name", "$.name", "/name", "[\"name\"]"},
      {"$ref", "$ref", ".\"$ref\"", "$['$ref']", "/$ref", "[\"$ref\"]"},
      {"a.b", "[\"a.b\"]", ".\"a.b\"", "$['a.b']", "/a.b", "[\"a.b\"]"},
      {"with space", "[\"with space\"]", ".\"with space\"", "$['with space']", "/with space",
       "[\"with space\"]"},
      {"e\\\"f", "[\"e\\\"f\"]", ".\"e\\\"f\"", "$['e\"f']", "/e\"f", "[\"e\\\"f\"]"},
      {"it's", "[\"it's\"]", ".\"it's\"", "$['it\\'s']", "/it's", "[\"it's\"]"},
      {"back\\\\slash", "[\"back\\\\slash\"]", ".\"back\\\\slash\"", "$['back\\\\slash']",
       "/back\\slash", "[\"back\\\\slash\"]"},
      {"~/x", "[\"~/x\"]", ".\"~/x\"", "$['~/x']", "/~0~1x", "[\"~/x\"]"},
      {"m[2]", "[\"m[2]\"]", ".\"m[2]\"", "$['m[2]']", "/m[2]", "[\"m[2]\"]"},
      {"caf\\u00e9", "[\"café\"]", ".\"café\"", "$['café']", "/café", "[\"café\"]"},
      {"中文", "[\"中文\"]", ".\"中文\"", "$['中文']", "/中文", "[\"中文\"]"},
      {"😀", "[\"😀\"]", ".\"😀\"", "$['😀']", "/😀", "[\"😀\"]"},
      {"", "[\"\"]", ".\"\"", "$['']", "/", "[\"\"]"},
      {"42", "[\"42\"]", ".\"42\"", "$['42']", "/42", "[\"42\"]"},
      {"if", "if", ".\"if\"", "$.if", "/if", "[\"if\"]"},
      {"line\\nbreak\\u0001", "[\"line\\nbreak\\u0001\"]", ".\"line\\nbreak\\u0001\"",
       "$['line\\nbreak\\u0001']", "/line\nbreak\x01", "[\"line\\nbreak\\x01\"]"},
  };
  return names;
}

// The document {"<raw 1>": 1, "<raw 2>": 2, ...} in program text.
JsonDocument AwkwardDocument() {
  std::string text = "{";
  for (size_t i = 0; i < AwkwardNames().size(); ++i) {
    if (i > 0) text += ",";
    text += "\"" + AwkwardNames()[i].raw + "\":" + std::to_string(i + 1);
  }
  text = T(text + "}");
  JsonDocument doc;
  doc.load(text, false, false);
  return doc;
}

TEST(PathSyntaxTest, EverySyntaxQuotesAwkwardNames) {
  const JsonDocument doc = AwkwardDocument();
  ASSERT_EQ(doc.store().childCount(1), static_cast<int>(AwkwardNames().size()));
  int node = 2;
  for (const AwkwardName& name : AwkwardNames()) {
    SCOPED_TRACE(name.raw);
    const struct {
      PathSyntax syntax;
      const std::string& expected;
    } cases[] = {{PathSyntax::kJavaScript, name.js},
                 {PathSyntax::kJq, name.jq},
                 {PathSyntax::kJsonPath, name.jsonPath},
                 {PathSyntax::kJsonPointer, name.pointer},
                 {PathSyntax::kPython, name.python}};
    for (const auto& c : cases) {
      const std::string path = WritePath(doc, node, c.syntax);
      EXPECT_EQ(Gb18030ToUtf8(path), c.expected);
      EXPECT_EQ(FindNodeByPath(doc, path, c.syntax), node) << c.expected;
    }
    node = doc.store().nextAfterSubtree(node);
  }
}

TEST(PathSyntaxTest, IndicesAndNestingStartAtTheDocument) {
  std::string text = R"({"data":[{"name":"x","a.b":{"c":[[1,2]]}}]})";
  for (bool zeroBased : {false, true}) {
    JsonDocument doc;
    doc.load(text, zeroBased, false);
    const int name = FindNodeByPath(doc, "/data/0/name", PathSyntax::kJsonPointer);
    ASSERT_EQ(doc.store().valueView(name), "\"x\"");
    EXPECT_EQ(WritePath(doc, name, PathSyntax::kJavaScript), "data[0].name");
    EXPECT_EQ(WritePath(doc, name, PathSyntax::kJq), ".data[0].name");
    EXPECT_EQ(WritePath(doc, name, PathSyntax::kJsonPath), "$.data[0].name");
    EXPECT_EQ(WritePath(doc, name, PathSyntax::kPython), "[\"data\"][0][\"name\"]");
    const int two = FindNodeByPath(doc, "$.data[0]['a.b'].c[0][1]", PathSyntax::kJsonPath);
    ASSERT_EQ(doc.store().valueView(two), "2");
    EXPECT_EQ(WritePath(doc, two, PathSyntax::kJavaScript), "data[0][\"a.b\"].c[0][1]");
    EXPECT_EQ(WritePath(doc, two, PathSyntax::kJq), ".data[0].\"a.b\".c[0][1]");
    EXPECT_EQ(WritePath(doc, two, PathSyntax::kJsonPointer), "/data/0/a.b/c/0/1");
    // The root in each syntax.
    EXPECT_EQ(WritePath(doc, 1, PathSyntax::kJq), ".");
    EXPECT_EQ(WritePath(doc, 1, PathSyntax::kJsonPath), "$");
    EXPECT_EQ(WritePath(doc, 1, PathSyntax::kJsonPointer), "");
    EXPECT_EQ(FindNodeByPath(doc, ".", PathSyntax::kJq), 1);
    EXPECT_EQ(FindNodeByPath(doc, "", PathSyntax::kJsonPointer), 1);
  }
  JsonDocument items;
  text = "[[1],{\"k\":2}]";
  items.load(text, false, false);
  EXPECT_EQ(WritePath(items, 3, PathSyntax::kJq), ".[0][0]");
  EXPECT_EQ(WritePath(items, 5, PathSyntax::kJq), ".[1].k");
  EXPECT_EQ(WritePath(items, 5, PathSyntax::kJavaScript), "[1].k");
}

TEST(PathSyntaxTest, ReadersAcceptTheToolsOtherSpellings) {
  std::string text = T(R"({"a b":{"x":[10,20]},"中":{"y":1},"0":{"z":2}})");
  JsonDocument doc;
  doc.load(text, false, false);
  const int twenty = FindNodeByPath(doc, "/a b/x/1", PathSyntax::kJsonPointer);
  ASSERT_EQ(doc.store().valueView(twenty), "20");
  EXPECT_EQ(FindNodeByPath(doc, "['a b'].x[1]", PathSyntax::kJavaScript), twenty);
  EXPECT_EQ(FindNodeByPath(doc, "[\"a\\x20b\"][\"x\"][1]", PathSyntax::kPython), twenty);
  EXPECT_EQ(FindNodeByPath(doc, ".[\"a\\u0020b\"].x[1]", PathSyntax::kJq), twenty);
  EXPECT_EQ(FindNodeByPath(doc, "$[\"a b\"]['x'][1]", PathSyntax::kJsonPath), twenty);
  // A bare non-ASCII name, as typed.
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, T("中.y"), PathSyntax::kJavaScript)), "1");
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, T(".中.y"), PathSyntax::kJq)), "1");
  // A pointer token is a name in an object, an index only in an array.
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, "/0/z", PathSyntax::kJsonPointer)), "2");
  EXPECT_EQ(FindNodeByPath(doc, "/a b/x/01", PathSyntax::kJsonPointer), -1);
  EXPECT_EQ(FindNodeByPath(doc, "/a b/x/2", PathSyntax::kJsonPointer), -1);
  // A name step does not index an array, nor an index step an object.
  EXPECT_EQ(FindNodeByPath(doc, "[\"a b\"].x[\"1\"]", PathSyntax::kJavaScript), -1);
  EXPECT_EQ(FindNodeByPath(doc, "[\"a b\"][0]", PathSyntax::kPython), -1);
  // Not paths of their syntax.
  for (std::string_view bad : {"a..b", "a[", "a[x]", "[\"a b\"", "a.", "a b"})
    EXPECT_FALSE(ReadJavaScriptPath(bad)) << bad;
  for (std::string_view bad : {"", "a", "..a", ".a.", ".\"a", ".a\"b\""})
    EXPECT_FALSE(ReadJqPath(bad)) << bad;
  for (std::string_view bad : {"", "a", "$a", "$.", "$['a'"})
    EXPECT_FALSE(ReadJsonPath(bad)) << bad;
  for (std::string_view bad : {"a", "/a~2", "/a~"})
    EXPECT_FALSE(ReadJsonPointer(bad)) << bad;
  for (std::string_view bad : {"a", "[a]", "[\"a\"]b", "[\"\\u12\"]"})
    EXPECT_FALSE(ReadPythonPath(bad)) << bad;
}

// Duplicate names: the last member with the decoded name is the one a JSON
// reader keeps, so it is the one the tools' paths lead to.
TEST(PathSyntaxTest, TheLastOfEqualNamesCounts) {
  std::string text = R"({"k":1,"k":2,"caf\u00e9":3,"café":4})";
  text = T(text);
  JsonDocument doc;
  doc.load(text, false, false);
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, "k", PathSyntax::kJavaScript)), "2");
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, "/k", PathSyntax::kJsonPointer)), "2");
  EXPECT_EQ(doc.store().valueView(FindNodeByPath(doc, T("$['café']"), PathSyntax::kJsonPath)), "4");
}

TEST(PathSyntaxTest, NamesOnTheCommandLine) {
  EXPECT_EQ(PathSyntaxNamed("js"), PathSyntax::kJavaScript);
  EXPECT_EQ(PathSyntaxNamed("jq"), PathSyntax::kJq);
  EXPECT_EQ(PathSyntaxNamed("jsonpath"), PathSyntax::kJsonPath);
  EXPECT_EQ(PathSyntaxNamed("pointer"), PathSyntax::kJsonPointer);
  EXPECT_EQ(PathSyntaxNamed("python"), PathSyntax::kPython);
  EXPECT_EQ(PathSyntaxNamed("JS"), std::nullopt);
  EXPECT_EQ(PathSyntaxNamed(""), std::nullopt);
}

}  // namespace
}  // namespace keelnode
