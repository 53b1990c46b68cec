#include "json/value_heads.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "services/code_page.h"

namespace keelnode {
namespace {

// Pieces that reach across a cut: escapes, references, placeholders,
// blanks before and after quotes, line breaks beside blanks, CJK text.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {"a",
                                                  "bcd",
                                                  " ",
                                                  "  ",
                                                  "\"",
                                                  "'",
                                                  "\\u4e2d",
                                                  "\\ud83d\\ude00",
                                                  "\\",
                                                  "\\\"",
                                                  "\\/",
                                                  "#SYH#",
                                                  "#SY",
                                                  "H#",
                                                  "&amp;",
                                                  "&#x4e2d;",
                                                  "&",
                                                  ";",
                                                  "&lt",
                                                  "&#",
                                                  "x=1&b=2",
                                                  "\r\n",
                                                  "\n ",
                                                  " \n",
                                                  "[",
                                                  "]",
                                                  "{",
                                                  "}",
                                                  "\t",
                                                  "&#x00000041;",
                                                  Utf8ToGb18030("中文"),
                                                  Utf8ToGb18030("　"),
                                                  "\x81\x5C",
                                                  "\\u00",
                                                  "&#x",
                                                  "=",
                                                  "41",
                                                  "0",
                                                  "amp",
                                                  "#"};
  return pieces;
}

std::string RandomText(std::mt19937& random, size_t pieces) {
  std::uniform_int_distribution<size_t> pick(0, Pieces().size() - 1);
  std::string out;
  for (size_t i = 0; i < pieces; ++i)
    out += Pieces()[pick(random)];
  return out;
}

void ExpectHeadOf(const TextHead& head, const std::string& whole, size_t bytes) {
  if (head.whole) {
    EXPECT_EQ(head.text, whole);
  } else {
    EXPECT_GE(head.text.size(), bytes);
    EXPECT_EQ(whole.compare(0, head.text.size(), head.text), 0);
  }
}

TEST(ValueHeadsTest, HeadsAreBeginningsOfTheWholeTexts) {
  std::mt19937 random(9);
  for (int round = 0; round < 400; ++round) {
    const std::string stored = RandomText(random, 20 + round * 3);
    const size_t bytes = random() % 64;
    for (ValueForm form : {ValueForm::kMember, ValueForm::kRoot}) {
      const ValueHeads heads = ValueHeadsOf(stored, form, bytes);
      const std::string value = WholeValue(stored, form);
      ExpectHeadOf(heads.value, value, bytes);
      ExpectHeadOf(heads.decoded, DecodeValue(value), bytes);
    }
  }
}

TEST(ValueHeadsTest, HeadsNeverEndInsideAFourByteCharacter) {
  const std::string gwm = Utf8ToGb18030("귮");  // 82 38 82 39
  std::string stored = "a";
  for (int i = 0; i < 200; ++i)
    stored += gwm;
  for (size_t bytes = 1; bytes < 40; ++bytes) {
    const ValueHeads heads = ValueHeadsOf(stored, ValueForm::kMember, bytes);
    ASSERT_FALSE(heads.value.whole);
    EXPECT_EQ((heads.value.text.size() - 1) % 4, 0u) << bytes;
    EXPECT_EQ((heads.decoded.text.size() - 1) % 4, 0u) << bytes;
  }
}

TEST(ValueHeadsTest, LongValuesAreCutEarly) {
  const std::string url = "\"https://e.com/?a=1&b=2&#x4e2d;\\u6587\",";
  std::string stored = "[";
  while (stored.size() < (1 << 20))
    stored += url;
  stored += "\"end\"]";
  const ValueHeads heads = ValueHeadsOf(stored, ValueForm::kMember, 1000);
  EXPECT_FALSE(heads.value.whole);
  EXPECT_FALSE(heads.decoded.whole);
  EXPECT_LT(heads.value.text.size(), 10000u);
  EXPECT_LT(heads.decoded.text.size(), 10000u);
  const std::string value = WholeValue(stored, ValueForm::kMember);
  ExpectHeadOf(heads.value, value, 1000);
  ExpectHeadOf(heads.decoded, DecodeValue(value), 1000);
}

TEST(ValueHeadsTest, QueryStringsAreSettledAsTheyCome) {
  // "&lang=zh&": the "=" rules out every reference, so the head need not
  // wait for a ";" that may come at the very end.
  std::string stored;
  while (stored.size() < 100000)
    stored += "x=1&lang=zh&";
  stored += "amp;";
  const ValueHeads heads = ValueHeadsOf(stored, ValueForm::kMember, 100);
  EXPECT_FALSE(heads.decoded.whole);
  EXPECT_LT(heads.decoded.text.size(), 1000u);
  ExpectHeadOf(heads.decoded, DecodeValue(WholeValue(stored, ValueForm::kMember)), 100);
}

TEST(ValueHeadsTest, TextThatNeverSettlesIsTakenWhole) {
  // A "#x" body reads every byte but ";" as a digit ("=" as 0): this one
  // decodes to "A" only at the very end.
  const std::string stored = "a&#x" + std::string(100000, '=') + "41;b";
  const ValueHeads heads = ValueHeadsOf(stored, ValueForm::kMember, 100);
  EXPECT_TRUE(heads.decoded.whole);
  EXPECT_EQ(heads.decoded.text, "aAb");
  // A run of blanks and quotes has no safe cut: the value is whole too.
  const std::string blanks = "\"" + std::string(50000, ' ') + "\"x";
  const ValueHeads blank_heads = ValueHeadsOf(blanks, ValueForm::kMember, 100);
  EXPECT_EQ(blank_heads.value.text, WholeValue(blanks, ValueForm::kMember));
}

}  // namespace
}  // namespace keelnode
