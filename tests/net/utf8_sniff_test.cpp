#include "net/utf8_sniff.h"

#include <gtest/gtest.h>

#include <string>

#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

TEST(Utf8SniffTest, NeedsAtLeastOneTwoOrThreeByteSequence) {
  EXPECT_FALSE(passesUtf8Test(""));
  EXPECT_FALSE(passesUtf8Test("plain ascii"));
  EXPECT_TRUE(passesUtf8Test("caf\xC3\xA9"));
  EXPECT_TRUE(passesUtf8Test("\xE4\xB8\xAD"));
  EXPECT_TRUE(passesUtf8Test("\xC0\x80"));  // overlong forms are not rejected
}

TEST(Utf8SniffTest, FailsOnAnythingElse) {
  EXPECT_FALSE(passesUtf8Test("\xF0\x9F\x98\x80"));  // four bytes
  EXPECT_FALSE(passesUtf8Test("a\xE4\xB8"));         // cut short
  EXPECT_FALSE(passesUtf8Test("\xC3"));
  EXPECT_FALSE(passesUtf8Test("\xD6\xD0\xCE\xC4"));  // GBK
  EXPECT_FALSE(passesUtf8Test("\x80"));
}

TEST(Utf8SniffTest, LetsTheWindowRunDuringALongScan) {
  int calls = 0;
  SetYieldToUiHook([&] { ++calls; });
  std::string long_text;
  for (int i = 0; i < 10000; ++i)
    long_text += "\xE4\xB8\xAD";
  EXPECT_TRUE(passesUtf8Test(long_text));
  SetYieldToUiHook(nullptr);
  EXPECT_GT(calls, 0);
}

}  // namespace
}  // namespace keelnode
