// The search bar's test of one text, with characters of every length at
// every boundary: a match is made of whole characters, in plain mode as in
// pattern mode.
#include "json/text_matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "services/code_page.h"

namespace keelnode {
namespace {

// Hangul syllables GB18030 stores in four bytes: 귮 82 38 82 39, 귯 82 38 83 30,
// 닙 82 39 82 38, so "닙" is the second half of "귮" and the first half of "귯".
const std::string kGwm = Utf8ToGb18030("귮");
const std::string kGwo = Utf8ToGb18030("귯");
const std::string kNip = Utf8ToGb18030("닙");
const std::string kZhong = Utf8ToGb18030("中");
const std::string kOe = Utf8ToGb18030("œ");  // 81 30 93 34: a Latin letter in four bytes

bool Plain(std::string_view label, std::string_view text, bool ignoreCase = false) {
  return TextMatcher(text, ignoreCase, false, false, false).Matches(label);
}

bool Pattern(std::string_view label, std::string_view pattern, bool wildcard = false,
             bool wholeText = false) {
  return TextMatcher(pattern, false, wholeText, true, wildcard).Matches(label);
}

TEST(TextMatcherTest, PlainSearchNeverJoinsHalvesOfFourByteCharacters) {
  ASSERT_EQ(kGwm + kGwo, "\x82\x38\x82\x39\x82\x38\x83\x30");
  ASSERT_EQ(kNip, "\x82\x39\x82\x38");
  const std::string label = kGwm + kGwo;
  EXPECT_FALSE(Plain(label, kNip));
  EXPECT_FALSE(Plain(label, kNip, true));
  EXPECT_TRUE(Plain(label, kGwm));
  EXPECT_TRUE(Plain(label, kGwo));
  EXPECT_TRUE(Plain(label, label));
  // The pattern search agrees.
  EXPECT_FALSE(Pattern(label, kNip));
  EXPECT_TRUE(Pattern(label, kGwo));
  // A real "닙" after the false one is still found.
  EXPECT_TRUE(Plain(label + kNip, kNip));
  EXPECT_TRUE(Plain(kNip + label, kNip));
}

TEST(TextMatcherTest, FourByteCharactersAtEveryBoundary) {
  // At the start, at the end, next to two-byte characters and ASCII (the
  // digits of a four-byte character are never a "0" or an "8" of the text).
  const std::string label = kGwm + "a8" + kZhong + kOe + kGwo + "0";
  EXPECT_TRUE(Plain(label, kGwm + "a"));
  EXPECT_TRUE(Plain(label, "8" + kZhong + kOe));
  EXPECT_TRUE(Plain(label, kOe + kGwo + "0"));
  EXPECT_TRUE(Plain(label, "A8", true));
  EXPECT_FALSE(Plain(label, "9"));         // only inside 귮
  EXPECT_FALSE(Plain(label, "\x82\x39"));  // the second half of 귮 read as a pair
  EXPECT_FALSE(Plain(label,
                     "\x82\x39"
                     "a8"));
  EXPECT_FALSE(Plain(label, kOe.substr(2) + kGwo.substr(0, 2)));
  EXPECT_FALSE(Plain(label, kZhong + kOe.substr(0, 2)));  // ends inside a character
  // The same texts as patterns: escaped, they must give the same answers.
  for (const std::string& text :
       {kGwm + "a", "8" + kZhong + kOe, std::string("9"), kOe.substr(2) + kGwo.substr(0, 2)}) {
    EXPECT_EQ(Pattern(label, RegexService::EscapeAll(text)), Plain(label, text)) << text;
  }
}

TEST(TextMatcherTest, ASequenceCutByTheEndIsOneCharacter) {
  const std::string cut = "x" + kGwm.substr(0, 3);  // 78 82 38 82
  EXPECT_TRUE(Plain(cut, "x"));
  EXPECT_FALSE(Plain(cut, "\x82"));      // its last byte alone
  EXPECT_FALSE(Plain(cut, "\x82\x38"));  // its first half
  EXPECT_TRUE(Plain(cut, cut));
  EXPECT_TRUE(Plain(cut, "X", true));
}

TEST(TextMatcherTest, WildcardsTakeAFourByteCharacterAsOne) {
  const std::string label = kGwm + kGwo;
  EXPECT_TRUE(Pattern(label, kGwm + "?", true, true));
  EXPECT_TRUE(Pattern(label, "??", true, true));
  EXPECT_TRUE(Pattern(label, "*" + kGwo, true));
  EXPECT_FALSE(Pattern(label, "*" + kNip + "*", true));
  EXPECT_TRUE(Pattern("a" + kOe + "b", "a?b", true, true));
}

// Hits inside characters, one after another, in a long label: the slow
// path must agree with the pattern engine.
TEST(TextMatcherTest, PlainAgreesWithTheEscapedPatternOnMixedText) {
  const std::vector<std::string> pieces = {kGwm, kGwo, kNip, kZhong, kOe, "a", "8", "0", "\\"};
  std::mt19937 random(17);
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  auto text_of = [&](size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i)
      out += pieces[pick(random)];
    return out;
  };
  int found = 0;
  for (int round = 0; round < 2000; ++round) {
    const std::string label = text_of(1 + round % 40);
    const std::string text = text_of(1 + round % 3);
    const bool plain = Plain(label, text);
    found += plain;
    EXPECT_EQ(Pattern(label, RegexService::EscapeAll(text)), plain) << round;
  }
  EXPECT_GT(found, 100);
  // A run where every hit but the last falls across two characters.
  std::string run;
  for (int i = 0; i < 20000; ++i)
    run += kGwm;
  EXPECT_FALSE(Plain(run + kGwo, kNip));
  EXPECT_TRUE(Plain(run + kNip, kNip));
}

}  // namespace
}  // namespace keelnode
