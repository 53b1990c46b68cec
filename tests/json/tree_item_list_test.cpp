#include "json/tree_item_list.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

TreeItemList Sample() {
  TreeItemList list;
  list.AddItem("JSON", 1, 1, 1, 0, 0, 1);
  list.AddItem("data", 2, 2, 2, 0, 0, 2);
  list.AddItem("[0]", 1, 1, 3, 0, 0, 3);
  list.AddItem("name:\"Ada\"", 0, 0, 4, 2, 1, 4);
  list.AddItem("Name:\"ADA\"", 0, 0, 5, 0, 0, 4);
  list.AddItem("a\\b", 0, 0, 6, 0, 0, 2);
  return list;
}

TEST(TreeItemListTest, RecordBytesAreLabelZeroAndTwentyOneBytes) {
  TreeItemList list;
  EXPECT_EQ(list.AddItem("ab", 2, 3, 0x01020304, 0x102, 1, 5), 1);
  const std::string expected(
      "ab\0"
      "\x02\0\0\0"
      "\x03\0\0\0"
      "\x04\x03\x02\x01"
      "\x02"
      "\0\0"
      "\x20"
      "\x05\0\0\0",
      23);
  EXPECT_EQ(list.GetBytes(), expected);
  // Out-of-range state codes store 64; a depth below 1 stores 1.
  list.AddItem("", 0, 0, 0, 0, 7, 0);
  list.AddItem("", 0, 0, 0, 0, -1, -3);
  int seen = 0;
  ForEachTreeItem(list.GetBytes(), [&](int index, const TreeItemRecord& r) {
    if (index > 0) {
      EXPECT_EQ(r.state, 64);
      EXPECT_EQ(r.depth, 1);
    }
    ++seen;
    return true;
  });
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(list.counter(), 3);
}

TEST(TreeItemListTest, LoadReplacesBytesAndKeepsTheCounter) {
  TreeItemList list = Sample();
  TreeItemList other;
  other.Load(list.GetBytes());
  EXPECT_EQ(other.GetBytes(), list.GetBytes());
  EXPECT_EQ(other.counter(), 0);
  other.Clear();
  EXPECT_EQ(other.counter(), -1);
  EXPECT_EQ(other.FindForward(std::nullopt, "a", true, false, false, false), -1);
  // A cut record ends the walk.
  std::string cut = list.GetBytes();
  cut.resize(cut.size() - 3);
  other.Load(cut);
  EXPECT_EQ(other.ListByDepth(2), (std::vector<int>{1}));
}

TEST(TreeItemListTest, PlainSearchForwardAndBackward) {
  TreeItemList list = Sample();
  EXPECT_EQ(list.FindForward(std::nullopt, "name", false, false, false, false), 3);
  EXPECT_EQ(list.FindForward(3, "name", false, false, false, false), -1);
  EXPECT_EQ(list.FindForward(3, "name", true, false, false, false), 4);
  EXPECT_EQ(list.FindBackward(std::nullopt, "a", false, false, false, false), 5);
  EXPECT_EQ(list.FindBackward(3, "a", false, false, false, false), 1);
  EXPECT_EQ(list.FindBackward(0, "JSON", false, false, false, false), -1);
  std::string label;
  EXPECT_EQ(list.FindForward(1, "data", false, true, false, false, &label), -1);
  EXPECT_EQ(label, "a\\b");  // the last candidate tested
  EXPECT_EQ(list.FindForward(std::nullopt, "DATA", true, true, false, false), 1);
  EXPECT_EQ(list.FindForward(std::nullopt, "", false, false, false, false), -1);
}

TEST(TreeItemListTest, PatternAndWildcardSearch) {
  TreeItemList list = Sample();
  EXPECT_EQ(list.FindForward(std::nullopt, "n.me:\"A", false, false, true, false), 3);
  EXPECT_EQ(list.FindForward(std::nullopt, "^\\[\\d\\]$", false, false, true, false), 2);
  EXPECT_EQ(list.FindForward(std::nullopt, "N*A", false, false, true, true), 4);
  EXPECT_EQ(list.FindForward(std::nullopt, "[0]", false, true, true, false), -1);
  EXPECT_EQ(list.FindForward(std::nullopt, "\\[0\\]", false, true, true, false), 2);
  // An invalid pattern finds nothing.
  EXPECT_EQ(list.FindForward(std::nullopt, "(", false, false, true, false), -1);
}

TEST(TreeItemListTest, SearchNeverMatchesInsideACharacter) {
  TreeItemList list;
  list.AddItem("\x81\x41", 0, 0, 1, 0, 0, 1);  // second byte "A"
  list.AddItem("xA", 0, 0, 2, 0, 0, 1);
  EXPECT_EQ(list.FindForward(std::nullopt, "A", false, false, false, false), 1);
  EXPECT_EQ(list.FindForward(std::nullopt, "a", true, false, false, false), 1);
}

TEST(TreeItemListTest, PlainSearchStepsOverFourByteCharacters) {
  // 귮 82 38 82 39, 귯 82 38 83 30: their halves spell 닙 82 39 82 38.
  TreeItemList list;
  list.AddItem("JSON", 1, 1, 1, 0, 0, 1);
  list.AddItem("\x82\x38\x82\x39\x82\x38\x83\x30", 0, 0, 2, 0, 0, 2);
  for (bool patternMode : {false, true}) {
    EXPECT_EQ(list.FindForward(std::nullopt, "\x82\x39\x82\x38", false, false, patternMode, false),
              -1);
    EXPECT_EQ(list.FindBackward(std::nullopt, "\x82\x39\x82\x38", true, false, patternMode, false),
              -1);
    EXPECT_EQ(list.FindForward(std::nullopt, "\x82\x38\x83\x30", false, false, patternMode, false),
              1);
  }
  EXPECT_TRUE(list.ListMatching("\x82\x39\x82\x38", false, false, false, false).empty());
}

TEST(TreeItemListTest, ListMatchingGivesWhatRepeatedForwardSearchesFind) {
  TreeItemList list = Sample();
  list.AddItem("\x81\x41", 0, 0, 7, 0, 0, 2);  // second byte "A"
  struct Query {
    const char* text;
    bool ignoreCase, wholeText, patternMode, wildcard;
  };
  for (const Query& q :
       {Query{"a", false, false, false, false}, Query{"a", true, false, false, false},
        Query{"A", false, false, false, false}, Query{"N*A", true, false, true, true},
        Query{"^\\[\\d\\]$", false, false, true, false}, Query{"data", false, true, false, false},
        Query{"(", false, false, true, false}, Query{"zzz", false, false, false, false}}) {
    std::vector<int> walked;
    for (int at = list.FindForward(std::nullopt, q.text, q.ignoreCase, q.wholeText, q.patternMode,
                                   q.wildcard);
         at != -1;
         at = list.FindForward(at, q.text, q.ignoreCase, q.wholeText, q.patternMode, q.wildcard)) {
      walked.push_back(at);
    }
    EXPECT_EQ(list.ListMatching(q.text, q.ignoreCase, q.wholeText, q.patternMode, q.wildcard),
              walked)
        << q.text;
  }
  EXPECT_EQ(list.ListMatching("a", true, false, false, false), (std::vector<int>{1, 3, 4, 5}));
}

TEST(TreeItemListTest, PatternSearchOnLongLabelsFindsOrSaysItRanAway) {
  TreeItemList list;
  list.AddItem("JSON", 1, 1, 1, 0, 0, 1);
  list.AddItem("k:\"" + std::string(5'000'000, 'x') + "z\"", 0, 0, 2, 0, 0, 2);
  list.AddItem("r:\"" + std::string(50'000, 'a') + "b\"", 0, 0, 3, 0, 0, 2);
  list.AddItem("s:\"aaa\"", 0, 0, 4, 0, 0, 2);
  EXPECT_EQ(list.FindForward(std::nullopt, "(x|y)+z", false, false, true, false), 1);
  EXPECT_EQ(list.FindBackward(std::nullopt, "(?:x|y)*z\"$", false, false, true, false), 1);
  const LabelSearch repeated{.text = "(x|y)+z", .mode = MatchMode::kPattern};
  const Result<std::vector<int>, RegexError> all = list.FindAll(repeated);
  ASSERT_TRUE(all.ok());
  EXPECT_EQ(*all, (std::vector<int>{1}));
  // (a+)+ before a quote and the end runs away on item 2: the search stops
  // there and says so, before item 3 that would match.
  const LabelSearch nested{.text = "(a+)+\"$", .mode = MatchMode::kPattern};
  const Result<int, RegexError> forward = list.Find(nested, 1, SearchDirection::kForward);
  ASSERT_FALSE(forward.ok());
  EXPECT_EQ(forward.error().reason, RegexError::Reason::kRunaway);
  EXPECT_EQ(list.FindForward(1, "(a+)+\"$", false, false, true, false), -1);
  LabelSearch whole = nested;
  whole.wholeText = true;
  EXPECT_FALSE(list.Find(whole, std::nullopt, SearchDirection::kBackward).ok());
  EXPECT_FALSE(list.FindAll(nested).ok());
  EXPECT_EQ(list.Find(nested, 2, SearchDirection::kForward).value_or(-2), 3);
}

TEST(TreeItemListTest, CancelStopsTheWalk) {
  TreeItemList list = Sample();
  const int cancel = 1;
  EXPECT_EQ(list.FindForward(std::nullopt, "a", true, false, false, false, nullptr, &cancel), -1);
  EXPECT_EQ(list.FindBackward(std::nullopt, "a", true, false, false, false, nullptr, &cancel), -1);
}

TEST(TreeItemListTest, ListsByField) {
  TreeItemList list = Sample();
  EXPECT_EQ(list.ListByDepth(4), (std::vector<int>{3, 4}));
  EXPECT_EQ(list.ListByImage(0), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(list.ListBySelectedImage(2), (std::vector<int>{1}));
  EXPECT_EQ(list.ListByValue(6), (std::vector<int>{5}));
  EXPECT_EQ(list.ListChecked(), (std::vector<int>{3}));
  EXPECT_EQ(list.ListByState(false), (std::vector<int>{3}));
  EXPECT_EQ(list.ListByState(true).size(), 5u);
}

TEST(TreeItemListTest, FindByPathWalksLabels) {
  TreeItemList list = Sample();
  EXPECT_EQ(list.FindByPath("anything\\data\\[0]\\name:\"Ada\""), 3);
  EXPECT_EQ(list.FindByPath("x\\data\\[9]"), 1);  // the deepest item matched
  EXPECT_EQ(list.FindByPath("x\\a%5Cb"), 5);
  EXPECT_EQ(list.FindByPath("x\\a%5cb"), 5);
  EXPECT_EQ(list.FindByPath("x\\a\\b"), 0);
  EXPECT_EQ(list.FindByPath(""), -1);
}

}  // namespace
}  // namespace keelnode

namespace keelnode {
namespace {

TEST(TreeItemListShapesTest, HitsInsideCharactersOneAfterAnotherAreAllSkipped) {
  // "丂" is 81 40; "@丂" (40 81 40) occurs at every second byte of a run of
  // them, always inside a character.
  std::string run;
  for (int i = 0; i < 20000; ++i)
    run += "\x81\x40";
  TreeItemList list;
  list.AddItem(run, 0, 0, 1, 0, 0, 1);
  list.AddItem(run + "x@\x81\x40", 0, 0, 2, 0, 0, 1);
  EXPECT_EQ(list.FindForward(std::nullopt, "@\x81\x40", false, false, false, false), 1);
  EXPECT_EQ(list.FindBackward(1, "@\x81\x40", false, false, false, false), -1);
  // A long search text against a long label that nearly holds it.
  const std::string label(200000, 'a');
  TreeItemList longLabels;
  longLabels.AddItem(label, 0, 0, 1, 0, 0, 1);
  EXPECT_EQ(longLabels.FindForward(std::nullopt, std::string(5000, 'a') + "b", false, false, false,
                                   false),
            -1);
  EXPECT_EQ(
      longLabels.FindForward(std::nullopt, std::string(5000, 'a'), false, false, false, false), 0);
}

TEST(TreeItemListShapesTest, FindByPathWithManyEscapedBackslashes) {
  std::string label;
  std::string part;
  for (int i = 0; i < 50000; ++i) {
    label += "\\";
    part += i % 2 ? "%5C" : "%5c";
  }
  TreeItemList list;
  list.AddItem("JSON", 1, 1, 1, 0, 0, 1);
  list.AddItem("other", 0, 0, 2, 0, 0, 2);
  list.AddItem(label, 0, 0, 3, 0, 0, 2);
  EXPECT_EQ(list.FindByPath("JSON\\" + part), 2);
  EXPECT_EQ(list.FindByPath("JSON\\" + part + "%5C"), 0);
}

}  // namespace
}  // namespace keelnode
