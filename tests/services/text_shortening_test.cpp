#include "services/text_shortening.h"

#include <gtest/gtest.h>

#include <string>

namespace keelnode {
namespace {

const std::string kZhong = "\xD6\xD0";         // 中, two bytes
const std::string kFour = "\x95\x32\x82\x36";  // U+20000, four bytes
const std::string kBadTrail = "\x81\x0D";      // a lead byte takes a CR as its second byte

std::string Repeat(const std::string& unit, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += unit;
  return out;
}

std::string Digits(int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out.push_back(static_cast<char>('0' + i % 10));
  return out;
}

TEST(CountCharsTest, Rules) {
  EXPECT_EQ(CountChars(""), 0);
  EXPECT_EQ(CountChars("abc"), 3);
  EXPECT_EQ(CountChars(kZhong + "a" + kZhong), 3);
  EXPECT_EQ(CountChars("a\r\nb\rc\n"), 6);
  EXPECT_EQ(CountChars(kFour + "a"), 2);
  EXPECT_EQ(CountChars(kBadTrail + "\n"), 2);
  EXPECT_EQ(CountChars("\x81"), 1);  // a lone lead byte at the end
}

TEST(CountCharsTest, FourByteCharactersAtEveryBoundary) {
  const std::string cut = kFour.substr(0, 3);  // what the end left of one
  EXPECT_EQ(CountChars(kFour + kZhong + "a" + kFour), 4);
  EXPECT_EQ(CountChars("a" + cut), 2);
  EXPECT_EQ(CountChars(kFour + cut), 2);
  EXPECT_EQ(LeftChars("a" + cut, 1), "a");
  EXPECT_EQ(LeftChars(kFour + cut, -1), kFour);
  EXPECT_EQ(RightChars("a" + cut, 1), cut);
  EXPECT_EQ(RightChars(kZhong + kFour + "\r\n", 2), kFour + "\r\n");
  EXPECT_EQ(RightChars(kZhong + kFour + cut, 2), kFour + cut);
  EXPECT_EQ(ShortenMiddle(Repeat(kFour, 10) + cut, 10), kFour + "..." + cut);
}

TEST(CountCharsTest, LineBreakModes) {
  const std::string text = "a\r\nb\rc\n" + kBadTrail;
  EXPECT_EQ(CountChars(text, 1), 7);
  EXPECT_EQ(CountChars(text, 0), 4);  // the CR inside the two-byte character is not a break
  EXPECT_EQ(CountChars(text, 2), 8);
}

TEST(LeftCharsTest, Basics) {
  const std::string text = "a" + kZhong + "\r\nb" + kFour + "c";
  EXPECT_EQ(LeftChars(text, 0), "");
  EXPECT_EQ(LeftChars(text, 1), "a");
  EXPECT_EQ(LeftChars(text, 2), "a" + kZhong);
  EXPECT_EQ(LeftChars(text, 3), "a" + kZhong + "\r\n");
  EXPECT_EQ(LeftChars(text, 5), "a" + kZhong + "\r\nb" + kFour);
  EXPECT_EQ(LeftChars(text, 6), text);
  EXPECT_EQ(LeftChars(text, 100), text);
  EXPECT_EQ(LeftChars(text, -1), "a" + kZhong + "\r\nb" + kFour);
  EXPECT_EQ(LeftChars(text, -5), "a");
  EXPECT_EQ(LeftChars(text, -6), "");
  EXPECT_EQ(LeftChars(text, -100), "");
  EXPECT_EQ(LeftChars("", 3), "");
}

TEST(RightCharsTest, Basics) {
  const std::string text = "a" + kZhong + "\r\nb" + kFour + "c";
  EXPECT_EQ(RightChars(text, 0), "");
  EXPECT_EQ(RightChars(text, 1), "c");
  EXPECT_EQ(RightChars(text, 2), kFour + "c");
  EXPECT_EQ(RightChars(text, 4), "\r\nb" + kFour + "c");
  EXPECT_EQ(RightChars(text, 6), text);
  EXPECT_EQ(RightChars(text, 100), text);
  // RightChars(text, -1) is the text without its first character.
  EXPECT_EQ(RightChars(text, -1), kZhong + "\r\nb" + kFour + "c");
  EXPECT_EQ(RightChars(kZhong + "ab", -1), "ab");
  EXPECT_EQ(RightChars(text, -6), "");
  // A second byte below 0x80 is still part of its character.
  EXPECT_EQ(RightChars("\x81\x41"
                       "b",
                       2),
            "\x81\x41"
            "b");
  EXPECT_EQ(RightChars("\x81\x41"
                       "b",
                       1),
            "b");
}

TEST(ShortenMiddleTest, ShorterThanWidthIsUnchanged) {
  std::string text = Digits(49);
  EXPECT_EQ(ShortenMiddle(text, 50), text);
  EXPECT_EQ(ShortenMiddle("", 1), "");
}

TEST(ShortenMiddleTest, ExactlyWidthIsShortened) {
  std::string text = Digits(50);
  std::string out = ShortenMiddle(text, 50);
  EXPECT_EQ(out, text.substr(0, 24) + "..." + text.substr(26));
  EXPECT_EQ(out.size(), 51u);
}

TEST(ShortenMiddleTest, AddressOfEightyCharacters) {
  std::string address = "http://example.com/" + Digits(61);
  ASSERT_EQ(address.size(), 80u);
  EXPECT_EQ(ShortenMiddle(address, 50), address.substr(0, 24) + "..." + address.substr(56));
  // Width 51: half is 25.
  EXPECT_EQ(ShortenMiddle(address, 51), address.substr(0, 25) + "..." + address.substr(55));
}

TEST(ShortenMiddleTest, TwoByteCharactersAreNeverCut) {
  std::string text = Repeat(kZhong, 30);  // 60 bytes
  EXPECT_EQ(ShortenMiddle(text, 50), Repeat(kZhong, 12) + "..." + Repeat(kZhong, 12));
  // A character straddling the 24-byte limit: that end keeps 23 bytes.
  std::string odd = "a" + Repeat(kZhong, 30) + "b";
  EXPECT_EQ(ShortenMiddle(odd, 50), "a" + Repeat(kZhong, 11) + "..." + Repeat(kZhong, 11) + "b");
}

TEST(ShortenMiddleTest, FourByteCharactersAreKeptWhole) {
  std::string text = "ab" + Repeat(kFour, 20) + "cd";  // 84 bytes
  std::string out = ShortenMiddle(text, 50);
  EXPECT_EQ(out, "ab" + Repeat(kFour, 5) + "..." + Repeat(kFour, 5) + "cd");
}

TEST(ShortenMiddleTest, CrLfIsOneCharacterButTwoBytes) {
  std::string text = Repeat("\r\n", 30);
  EXPECT_EQ(ShortenMiddle(text, 50), Repeat("\r\n", 12) + "..." + Repeat("\r\n", 12));
  std::string odd = "x" + Repeat("\r\n", 30);
  EXPECT_EQ(ShortenMiddle(odd, 50), "x" + Repeat("\r\n", 11) + "..." + Repeat("\r\n", 12));
}

TEST(ShortenMiddleTest, AtMostHalfCharactersAtEachEnd) {
  // Only the character limit binds when characters are single bytes.
  std::string text = Digits(30);
  EXPECT_EQ(ShortenMiddle(text, 10), text.substr(0, 4) + "..." + text.substr(26));
}

TEST(ShortenMiddleTest, SmallAndNegativeWidths) {
  EXPECT_EQ(ShortenMiddle("abc", 0), "...");
  EXPECT_EQ(ShortenMiddle("", 0), "...");
  EXPECT_EQ(ShortenMiddle("abc", 1), "...");
  EXPECT_EQ(ShortenMiddle("abc", 2), "...");
  EXPECT_EQ(ShortenMiddle("a", 2), "a");
  EXPECT_EQ(ShortenMiddle("abc", 3), "a...c");
  EXPECT_EQ(ShortenMiddle("abcd", 4), "a...d");
  EXPECT_EQ(ShortenMiddle(kZhong + kZhong, 3), "...");
  EXPECT_EQ(ShortenMiddle("abc", -1), "...");
  EXPECT_EQ(ShortenMiddle("abc", -1000), "...");
}

}  // namespace
}  // namespace keelnode
