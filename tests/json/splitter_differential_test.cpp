// The real splitter and loader against the plain reference, on many random
// documents and on the cleaning scanners against the stored patterns.
#include <gtest/gtest.h>

#include <deque>

#include "json/json_document.h"
#include "json/json_parser.h"
#include "json/level_splitter.h"
#include "json/prepared_text.h"
#include "json/text_preparation.h"
#include "random_json.h"
#include "reference_splitter.h"

namespace keelnode {
namespace {

std::vector<reference::Node> NodesOf(const JsonDocument& doc) {
  std::vector<reference::Node> nodes;
  const NodeStore& store = doc.store();
  for (int n = 1; n <= store.count(); ++n)
    nodes.push_back({store.name(n), store.kind(n), store.value(n), store.level(n)});
  return nodes;
}

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

TEST(SplitterDifferentialTest, CleaningScannersMatchTheStoredPatterns) {
  testing::RandomJson random(1);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = random.Fragment(1 + i % 12);
    ASSERT_EQ(CleanName(text), reference::CleanName(text)) << Printable(text);
    ASSERT_EQ(TrimValue(text), reference::TrimValue(text)) << Printable(text);
    ASSERT_EQ(CompactWhitespace(text), reference::CompactWhitespace(text)) << Printable(text);
  }
}

TEST(SplitterDifferentialTest, DocumentsMatchTheReference) {
  for (uint64_t seed = 1; seed <= 600; ++seed) {
    testing::RandomJson random(seed);
    const std::string text = random.Document();
    const bool zero_based = seed % 2 == 0;
    const bool single_quote = seed % 7 == 0;
    JsonDocument doc;
    std::string loaded = text;
    doc.load(loaded, zero_based, single_quote);
    const std::vector<reference::Node> expected =
        reference::LoadDocument(text, zero_based, single_quote);
    const std::vector<reference::Node> actual = NodesOf(doc);
    ASSERT_EQ(actual.size(), expected.size()) << "seed " << seed << ": " << Printable(text);
    for (size_t i = 0; i < actual.size(); ++i) {
      ASSERT_EQ(actual[i], expected[i])
          << "seed " << seed << " node " << i + 1 << ": " << Printable(text) << "\nexpected "
          << Printable(expected[i].name) << " = " << Printable(expected[i].value) << "\nactual   "
          << Printable(actual[i].name) << " = " << Printable(actual[i].value);
    }
    for (int n = 2; n <= doc.store().count(); ++n) {
      const std::string path = doc.pathOfNode(n);
      ASSERT_EQ(doc.valueAtPath(path, 0), reference::ValueAtPath(expected, path))
          << "seed " << seed << " path " << Printable(path);
    }
  }
}

TEST(SplitterDifferentialTest, LongGroupsAreSteppedOverExactly) {
  // Groups longer than the skip threshold, nested and side by side, some
  // closed by the wrong kind of bracket.
  int long_documents = 0;
  for (uint64_t seed = 1; long_documents < 40 && seed < 400; ++seed) {
    testing::RandomJson random(seed + 10000);
    std::string text = "{\"a\":[";
    for (int i = 0; i < 3; ++i) {
      if (i) text += ",";
      text += random.Document(7);
    }
    text += "],\"b\":" + random.Document(7) + "}";
    if (text.size() < 300 || text.size() > 6000) continue;
    ++long_documents;
    JsonDocument doc;
    std::string loaded = text;
    doc.load(loaded, false, false);
    const auto expected = reference::LoadDocument(text, false, false);
    ASSERT_EQ(NodesOf(doc), expected) << "seed " << seed << ": " << Printable(text);
  }
}

TEST(SplitterDifferentialTest, ScannersAgreeOnEveryPosition) {
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    testing::RandomJson random(seed + 20000);
    const std::string text = random.Document(4);
    if (text.size() > 400) continue;
    JsonParser parser;
    parser.load(text);
    reference::Splitter plain;
    plain.load(text);
    ASSERT_EQ(std::string(parser.textBuffer()), plain.text());
    const int n = static_cast<int>(parser.textBuffer().size());
    for (int pos = 1; pos <= n + 1; ++pos) {
      int out = 0;
      int64_t expected_out = 0;
      const std::string name = parser.scanMemberName(pos, &out);
      ASSERT_EQ(name, plain.scanMemberName(pos, &expected_out)) << Printable(text) << " @" << pos;
      ASSERT_EQ(out, expected_out);
      const std::string value = parser.scanMemberValue(pos, &out);
      ASSERT_EQ(value, plain.scanMemberValue(pos, &expected_out)) << Printable(text) << " @" << pos;
      ASSERT_EQ(out, expected_out);
      for (int end = pos; end <= n + 1; end += 3)
        ASSERT_EQ(parser.isBalanced(pos, end), plain.isBalanced(pos, end));
    }
  }
}

TEST(SplitterDifferentialTest, BatchesOfALevelJoinIntoTheWholeSplit) {
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    testing::RandomJson random(seed + 30000);
    std::string prepared;
    std::string text = random.Document(5);
    if (PrepareForSplitting(text, prepared)) text = prepared;
    const PreparedText base(text);
    std::deque<std::string> kept;
    const KeepText keep = [&kept](std::string t) {
      kept.push_back(std::move(t));
      return std::string_view(kept.back());
    };
    const Level level{&base, 0, base.size()};
    for (bool items : {false, true}) {
      SplitEntries whole;
      LevelSplitter splitter(level, &keep);
      items ? splitter.splitItems(whole) : splitter.splitMembers(whole);
      for (size_t limit : {1, 2, 3, 7}) {
        LevelSplitter batched(level, &keep);
        LevelSplitter::Cursor cursor;
        SplitEntries joined;
        SplitEntries batch;
        int rounds = 0;
        while (!cursor.done && ++rounds < 100000) {
          items ? batched.splitItems(cursor, limit, batch)
                : batched.splitMembers(cursor, limit, batch);
          ASSERT_LE(batch.size(), items ? std::max<size_t>(limit, 2) : limit);
          joined.insert(joined.end(), batch.begin(), batch.end());
        }
        ASSERT_TRUE(cursor.done);
        ASSERT_EQ(joined.size(), whole.size()) << "seed " << seed << ": " << Printable(text);
        for (size_t i = 0; i < whole.size(); ++i) {
          ASSERT_EQ(joined[i].name, whole[i].name) << "seed " << seed << " entry " << i;
          ASSERT_EQ(joined[i].value, whole[i].value) << "seed " << seed << " entry " << i;
          ASSERT_EQ(joined[i].valueOffset, whole[i].valueOffset);
        }
      }
    }
  }
}

TEST(SplitterDifferentialTest, WideLevelsAroundTheLoadersBatchSize) {
  // The loader splits a level a few thousand entries at a time; these
  // widths put the last entry, and a nested value, on every side of a
  // batch's edge.
  const std::vector<std::string> pieces = {"1", "[2,[3]]", "{\"k\":\"v&w\"}", "\"\\u4e2d\"", "[]"};
  for (int width : {4095, 4096, 4097, 8192, 8193}) {
    for (bool object : {false, true}) {
      std::string text = object ? "{" : "[";
      for (int i = 0; i < width; ++i) {
        if (i) text += ",";
        if (object) text += "\"m" + std::to_string(i) + "\":";
        text += pieces[static_cast<size_t>(i) % pieces.size()];
      }
      text += ",{\"last\":[1,2]}";
      text += object ? "}" : "]";
      if (object) text.replace(text.rfind(",{"), 2, ",\"end\":{");
      JsonDocument doc;
      std::string loaded = text;
      doc.load(loaded, false, false);
      const auto expected = reference::LoadDocument(text, false, false);
      ASSERT_EQ(NodesOf(doc), expected) << "width " << width << (object ? " object" : " array");
    }
  }
}

}  // namespace
}  // namespace keelnode
