#include "net/gzip_inflate.h"

#include <gtest/gtest.h>

#include <string>

#include "test_bytes.h"

namespace keelnode {
namespace {

using nettest::gzipped;

// The inflated text, or the failure's name, so that one comparison shows both.
std::string inflated(std::string_view data, uint64_t limit) {
  Result<std::string, GunzipFailure> result = gunzip(data, limit);
  if (result) return std::move(result).value();
  return result.error() == GunzipFailure::kCorrupt ? "<corrupt>" : "<too large>";
}

std::string sample() {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "line " + std::to_string(i) + "\n";
  return text;
}

TEST(GzipInflateTest, RoundTripsAndJoinsMembers) {
  const std::string text = sample();
  EXPECT_TRUE(hasGzipMagic(gzipped(text)));
  EXPECT_FALSE(hasGzipMagic("\x1F"));
  EXPECT_EQ(inflated(gzipped(text), 1 << 30), text);
  EXPECT_EQ(inflated(gzipped(""), 1 << 30), "");
  EXPECT_EQ(inflated(gzipped("ab") + gzipped("cd"), 1 << 30), "abcd");
  EXPECT_EQ(inflated(gzipped("ab") + "trailing", 1 << 30), "ab");
}

TEST(GzipInflateTest, BrokenStreamsAreCorrupt) {
  const std::string packed = gzipped(sample());
  EXPECT_EQ(inflated(packed.substr(0, packed.size() / 2), 1 << 30), "<corrupt>");
  EXPECT_EQ(inflated(packed.substr(0, packed.size() - 1), 1 << 30), "<corrupt>");  // no trailer
  std::string corrupt = packed;
  corrupt[packed.size() / 2] = static_cast<char>(~corrupt[packed.size() / 2]);
  EXPECT_EQ(inflated(corrupt, 1 << 30), "<corrupt>");
  EXPECT_EQ(inflated("\x1F\x8B", 1 << 30), "<corrupt>");
}

TEST(GzipInflateTest, OutputBeyondTheLimitIsTooLarge) {
  const std::string bomb = gzipped(std::string(1 << 20, '\0'));
  EXPECT_LT(bomb.size(), 2000u);
  EXPECT_EQ(inflated(bomb, 100000), "<too large>");
  EXPECT_EQ(inflated(bomb, 1 << 20).size(), size_t{1} << 20);
}

}  // namespace
}  // namespace keelnode
