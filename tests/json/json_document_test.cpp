#include "json/json_document.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

struct Shape {
  std::string name;
  int kind;
  int level;
};

std::vector<Shape> Nodes(const JsonDocument& doc) {
  std::vector<Shape> out;
  for (int n = 1; n <= doc.store().count(); ++n)
    out.push_back({doc.store().name(n), doc.store().kind(n), doc.store().level(n)});
  return out;
}

bool operator==(const Shape& a, const Shape& b) {
  return a.name == b.name && a.kind == b.kind && a.level == b.level;
}

std::vector<std::string> Labels(const JsonDocument& doc) {
  std::vector<std::string> labels;
  ForEachTreeItem(doc.buildTreeItems().GetBytes(), [&](int, const TreeItemRecord& r) {
    labels.emplace_back(r.label);
    return true;
  });
  return labels;
}

JsonDocument Load(std::string text, bool zero_based = true, bool single_quote = false) {
  JsonDocument doc;
  doc.load(text, zero_based, single_quote);
  return doc;
}

TEST(JsonDocumentTest, ArrayItemsAreNamedFromZeroOrOne) {
  JsonDocument doc = Load(R"({"a":[10,20]})");
  EXPECT_EQ(Nodes(doc),
            (std::vector<Shape>{{"JSON", 1, 1}, {"a", 2, 2}, {"[0]", 0, 3}, {"[1]", 0, 3}}));
  EXPECT_EQ(Labels(doc), (std::vector<std::string>{"JSON", "a", "[0]:10", "[1]:20"}));
  JsonDocument one_based = Load(R"({"a":[10,20]})", false);
  EXPECT_EQ(Labels(one_based), (std::vector<std::string>{"JSON", "a", "[1]:10", "[2]:20"}));
}

TEST(JsonDocumentTest, RootKindAndNesting) {
  EXPECT_EQ(Nodes(Load(R"([{"x":1}])")),
            (std::vector<Shape>{{"JSON", 2, 1}, {"[0]", 1, 2}, {"x", 0, 3}}));
  EXPECT_EQ(Nodes(Load("")), (std::vector<Shape>{{"JSON", 2, 1}}));
  EXPECT_EQ(Nodes(Load("42")), (std::vector<Shape>{{"JSON", 2, 1}, {"[0]", 0, 2}}));
  JsonDocument doc = Load("42");
  EXPECT_EQ(doc.store().value(1), "42");  // the root keeps the text as given
}

TEST(JsonDocumentTest, TreeItemRecordsCarryKindNodeAndDepth) {
  JsonDocument doc = Load(R"({"s":"x\"y","o":{}})");
  std::vector<TreeItemRecord> records;
  const std::string bytes = doc.buildTreeItems().GetBytes();
  ForEachTreeItem(bytes, [&](int, const TreeItemRecord& r) {
    records.push_back(r);
    return true;
  });
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].label, R"(s:"x\"y")");
  EXPECT_EQ(records[2].label, "o");
  EXPECT_EQ(records[2].image, 1);
  EXPECT_EQ(records[2].selectedImage, 1);
  EXPECT_EQ(records[2].value, 3);
  EXPECT_EQ(records[2].depth, 2);
  EXPECT_EQ(records[2].state, 16);
  EXPECT_EQ(doc.displayValue(doc.store().value(2)), R"(x\"y)");
}

TEST(JsonDocumentTest, ValueAtPath) {
  JsonDocument doc = Load(" {\"a\":[10,20]} ");
  EXPECT_EQ(doc.valueAtPath("a.[1]", 0), "20");
  EXPECT_EQ(doc.valueAtPath("a.[5]", 0), "");
  EXPECT_EQ(doc.valueAtPath("", 0), "{\"a\":[10,20]}");
  EXPECT_EQ(doc.valueAtPath("a", 0), "[10,20]");
  EXPECT_EQ(doc.valueAtPath("A", 0), "");
  // From a start node the path still names it: its own segments are passed
  // over, and a path that ends at the start node gives nothing.
  EXPECT_EQ(doc.valueAtPath("a.[1]", 2), "20");
  EXPECT_EQ(doc.valueAtPath("[1]", 2), "");
  EXPECT_EQ(doc.valueAtPath("a", 2), "");
}

TEST(JsonDocumentTest, RelativePathsStartFromTheBasePath) {
  JsonDocument doc = Load(R"({"a":{"b":[5,6]}})");
  doc.setBasePath("a.b");
  EXPECT_EQ(doc.valueAtRelativePath("[1]"), "6");
  EXPECT_EQ(doc.valueAtRelativePath(""), "[5,6]");
}

TEST(JsonDocumentTest, DuplicateNamesResolveToTheFirst) {
  JsonDocument doc = Load(R"({"a":1,"a":2})");
  ASSERT_EQ(doc.store().count(), 3);
  EXPECT_EQ(doc.pathOfNode(3), "a");
  EXPECT_EQ(doc.valueAtPath(doc.pathOfNode(3), 0), "1");
}

TEST(JsonDocumentTest, PathsOfNodes) {
  JsonDocument doc = Load(R"({"data":[{"name":"x"}],"x":{"a.b":1}})");
  EXPECT_EQ(doc.pathOfNode(1), "");
  EXPECT_EQ(doc.pathOfNode(2), "data");
  EXPECT_EQ(doc.pathOfNode(4), "data.[0].name");
  EXPECT_EQ(doc.pathOfNode(6), "x.\"a.b\"");
  EXPECT_EQ(doc.valueAtPath("x.\"a.b\"", 0), "1");
  EXPECT_EQ(doc.valueAtPath("x.''a.b''", 0), "1");
  EXPECT_EQ(doc.pathOfNode(99), "");
  JsonDocument one_based = Load(R"({"data":[{"name":"x"}]})", false);
  EXPECT_EQ(one_based.pathOfNode(4), "data.[1].name");
}

TEST(JsonDocumentTest, EmptyNamesLeaveNoLeadingSegment) {
  JsonDocument doc = Load(R"({"":{"":1,"b":2}})");
  ASSERT_EQ(doc.store().count(), 4);
  EXPECT_EQ(doc.pathOfNode(3), "");    // both names empty
  EXPECT_EQ(doc.pathOfNode(4), ".b");  // the empty top name stays before "b"
}

TEST(JsonDocumentTest, SingleQuotedInput) {
  std::string text = "{'a':'b'}";
  JsonDocument doc;
  doc.load(text, true, true);
  EXPECT_EQ(text, "{\"a\":\"b\"}");
  EXPECT_EQ(Labels(doc), (std::vector<std::string>{"JSON", "a:\"b\""}));
  // Without the option the apostrophes are plain characters of the name.
  EXPECT_EQ(Labels(Load("{'a':'b'}")), (std::vector<std::string>{"JSON", "'a':'b'"}));
}

TEST(JsonDocumentTest, PrettyPrintedTextKeepsLineBreaksInsideValues) {
  JsonDocument doc = Load("{\n  \"a\": {\n    \"b\": 1\n  },\n  \"c\": 2\n}");
  EXPECT_EQ(Labels(doc), (std::vector<std::string>{"JSON", "a", "b:1\n", "c:2\n"}));
  // Blanks after a colon are not compacted; a line break before "}" stays.
  EXPECT_EQ(doc.store().value(2), "{\"b\": 1\n}");
}

TEST(JsonDocumentTest, DeepNestingLoadsWithoutRecursion) {
  const int depth = 100000;
  std::string text(depth, '[');
  text += "1";
  text += std::string(depth, ']');
  JsonDocument doc = Load(text);
  ASSERT_EQ(doc.store().count(), depth + 1);
  EXPECT_EQ(doc.store().level(depth + 1), depth + 1);
  EXPECT_EQ(doc.store().value(depth + 1), "1");
  EXPECT_EQ(doc.store().value(2).size(), text.size() - 2);
}

TEST(JsonDocumentTest, ReloadReplacesEverything) {
  JsonDocument doc = Load(R"({"a":1,"b":2})");
  std::string text = "[7]";
  doc.load(text, false, false);
  EXPECT_EQ(Labels(doc), (std::vector<std::string>{"JSON", "[1]:7"}));
}

}  // namespace
}  // namespace keelnode

namespace keelnode {
namespace {

TEST(JsonDocumentShapesTest, DeepObjectChainLoadsEveryLevel) {
  const int depth = 50000;
  std::string text;
  for (int i = 0; i < depth; ++i)
    text += "{\"a\":";
  text += "1" + std::string(depth, '}');
  JsonDocument doc;
  doc.loadOwned(text, false, false);
  ASSERT_EQ(doc.store().count(), depth + 1);
  EXPECT_EQ(doc.store().value(depth + 1), "1");
  EXPECT_EQ(doc.store().level(depth + 1), depth + 1);
  EXPECT_EQ(doc.store().value(3), text.substr(10, text.size() - 12));
  const std::string path = doc.pathOfNode(depth + 1);
  EXPECT_EQ(path.size(), static_cast<size_t>(depth) * 2 - 1);
  EXPECT_EQ(doc.valueAtPath(path, 0), "1");
}

TEST(JsonDocumentShapesTest, WideObjectFindsItsLastMember) {
  std::string text = "{";
  for (int k = 0; k < 100000; ++k)
    text += (k ? ",\"k" : "\"k") + std::to_string(k) + "\":" + std::to_string(k);
  text += "}";
  JsonDocument doc;
  doc.loadOwned(text, false, false);
  ASSERT_EQ(doc.store().count(), 100001);
  EXPECT_EQ(doc.valueAtPath("k99999", 0), "99999");
  EXPECT_EQ(doc.valueAtPath("k100000", 0), "");
}

}  // namespace
}  // namespace keelnode
