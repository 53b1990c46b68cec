#include "net/gzip_inflate.h"

#include <gtest/gtest.h>

#include <string>

#include "test_bytes.h"

namespace keelnode {
namespace {

using nettest::gzipped;

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
  EXPECT_EQ(gunzip(gzipped(text), 1 << 30), text);
  EXPECT_EQ(gunzip(gzipped(""), 1 << 30), "");
  EXPECT_EQ(gunzip(gzipped("ab") + gzipped("cd"), 1 << 30), "abcd");
  EXPECT_EQ(gunzip(gzipped("ab") + "trailing", 1 << 30), "ab");
}

TEST(GzipInflateTest, BrokenStreamsGiveNothing) {
  const std::string packed = gzipped(sample());
  EXPECT_EQ(gunzip(packed.substr(0, packed.size() / 2), 1 << 30), std::nullopt);
  EXPECT_EQ(gunzip(packed.substr(0, packed.size() - 1), 1 << 30), std::nullopt);  // no trailer
  std::string corrupt = packed;
  corrupt[packed.size() / 2] = static_cast<char>(~corrupt[packed.size() / 2]);
  EXPECT_EQ(gunzip(corrupt, 1 << 30), std::nullopt);
  EXPECT_EQ(gunzip("\x1F\x8B", 1 << 30), std::nullopt);
}

TEST(GzipInflateTest, OutputBeyondTheLimitGivesNothing) {
  const std::string bomb = gzipped(std::string(1 << 20, '\0'));
  EXPECT_LT(bomb.size(), 2000u);
  EXPECT_EQ(gunzip(bomb, 100000), std::nullopt);
  EXPECT_EQ(gunzip(bomb, 1 << 20)->size(), size_t{1} << 20);
}

}  // namespace
}  // namespace keelnode
