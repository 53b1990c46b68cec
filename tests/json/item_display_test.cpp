#include "json/item_display.h"

#include <gtest/gtest.h>

#include <string>

#include "services/code_page.h"

namespace keelnode {
namespace {

std::string T(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

// 1 root, 2 data, 3 [1], 4 name, 5 url, 6 html, 7 name (again), 8 n, 9 deep,
// 10 [1], 11 [1], 12 k.
class ItemDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.loadOwned(T(R"(x = {"data":[{"name":"x\u4e2d&lt;","url":"https://a.cn/?q=1&x=2",)"
                    R"("html":"<b>粗</b>","name":"dup"}],"n":5, "deep":[[{"k":"v"}]]};)"),
                  false, false);
  }
  JsonDocument doc;
};

TEST_F(ItemDisplayTest, PathsInBothSpellingsNameTheirItem) {
  ASSERT_EQ(doc.store().count(), 12);
  EXPECT_EQ(PathBoxText(doc, 4, PathSpelling::kArrayNodes), "data.[1].name");
  EXPECT_EQ(PathBoxText(doc, 4, PathSpelling::kCompact), "data[1].name");
  EXPECT_EQ(PathBoxText(doc, 12, PathSpelling::kCompact), "deep[1][1].k");
  EXPECT_EQ(PathBoxText(doc, 1, PathSpelling::kCompact), "");
  for (int node : {2, 3, 4, 5, 6, 8, 9, 10, 11, 12}) {
    EXPECT_EQ(NodeOfPathBoxText(doc, PathBoxText(doc, node, PathSpelling::kArrayNodes),
                                PathSpelling::kArrayNodes),
              node);
    // Compact paths through directly nested arrays do not resolve (the
    // second index gets no "."), as the command line's tests pin down.
    if (node < 11) {
      EXPECT_EQ(NodeOfPathBoxText(doc, PathBoxText(doc, node, PathSpelling::kCompact),
                                  PathSpelling::kCompact),
                node);
    }
  }
  EXPECT_EQ(NodeOfPathBoxText(doc, "", PathSpelling::kCompact), 1);
  EXPECT_EQ(NodeOfPathBoxText(doc, "data[2]", PathSpelling::kCompact), -1);
  // A compact path typed in the other spelling names nothing.
  EXPECT_EQ(NodeOfPathBoxText(doc, "data[1].name", PathSpelling::kArrayNodes), -1);
}

TEST_F(ItemDisplayTest, TheValueIsReadBackFromThePath) {
  ItemTexts texts = ItemTextsOf(doc, 4, PathSpelling::kCompact);
  EXPECT_EQ(texts.path, "data[1].name");
  EXPECT_EQ(texts.value, "x\\u4e2d&lt;");
  EXPECT_EQ(texts.decoded, T("x中<"));
  texts = ItemTextsOf(doc, 5, PathSpelling::kArrayNodes);
  EXPECT_EQ(texts.value, "https://a.cn/?q=1&x=2");
  EXPECT_EQ(texts.decoded, "https://a.cn/?q=1&x=2");
  EXPECT_EQ(ItemTextsOf(doc, 6, PathSpelling::kCompact).value, T("<b>粗</b>"));
  // The second "name" has the first one's path, so it shows the first's value.
  texts = ItemTextsOf(doc, 7, PathSpelling::kCompact);
  EXPECT_EQ(texts.path, "data[1].name");
  EXPECT_EQ(texts.value, "x\\u4e2d&lt;");
  // The root shows the document with its whitespace compacted; a container
  // its text.
  EXPECT_EQ(ItemTextsOf(doc, 1, PathSpelling::kCompact).path, "");
  EXPECT_NE(ItemTextsOf(doc, 1, PathSpelling::kCompact).value.find("\"n\":5,"), std::string::npos);
  EXPECT_EQ(ItemTextsOf(doc, 11, PathSpelling::kArrayNodes).value, "{\"k\":\"v\"}");
  EXPECT_EQ(ValueBoxText(doc, -1), "");
}

}  // namespace
}  // namespace keelnode
