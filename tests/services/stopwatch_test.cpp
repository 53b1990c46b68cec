#include "services/stopwatch.h"

#include <gtest/gtest.h>

#include <string>

#include "services/code_page.h"

namespace keelnode {
namespace {

// Results are in the program's code page; compared here as UTF-8.
std::string Single(int64_t ms) {
  return Gb18030ToUtf8(FormatDuration(ms, false));
}
std::string Multi(int64_t ms) {
  return Gb18030ToUtf8(FormatDuration(ms, true));
}

TEST(FormatDurationTest, SingleUnitTable) {
  EXPECT_EQ(Single(0), "0 毫秒");
  EXPECT_EQ(Single(999), "999 毫秒");
  EXPECT_EQ(Single(1000), "1 秒");
  EXPECT_EQ(Single(12500), "12.5 秒");
  EXPECT_EQ(Single(90000), "1.5 分");
  EXPECT_EQ(Single(5400000), "1.5 时");
}

TEST(FormatDurationTest, SingleUnitEdges) {
  // Below the minute before rounding, 60 after it.
  EXPECT_EQ(Single(59999), "60 秒");
  EXPECT_EQ(Single(60000), "1 分");
  EXPECT_EQ(Single(3599999), "60 分");
  EXPECT_EQ(Single(3600000), "1 时");
  EXPECT_EQ(Single(86400000), "1 天");
  EXPECT_EQ(Single(2592000000LL), "1 月");
  EXPECT_EQ(Single(31104000000LL), "1 年");
  EXPECT_EQ(Single(31104000000LL * 3 / 2), "1.5 年");
  EXPECT_EQ(Single(1), "1 毫秒");
}

TEST(FormatDurationTest, RoundsToTwoDecimalsHalvesAwayFromZero) {
  EXPECT_EQ(Single(1234), "1.23 秒");
  EXPECT_EQ(Single(1235), "1.24 秒");  // exactly halfway: away from zero
  EXPECT_EQ(Single(1005), "1.01 秒");
  EXPECT_EQ(Single(1015), "1.02 秒");
  EXPECT_EQ(Single(1004), "1 秒");
  EXPECT_EQ(Single(3000), "3 秒");
  EXPECT_EQ(Single(100000), "1.67 分");
  EXPECT_EQ(Single(-5), "-5 毫秒");
}

TEST(FormatDurationTest, LimitsAllowTheTolerance) {
  // 29.99999990... days reaches 30 days (x - 30 >= -1e-7): months.
  EXPECT_EQ(Single(2591999992LL), "1 月");
  // 29.99999989... days does not: rounded days.
  EXPECT_EQ(Single(2591999991LL), "30 天");
}

TEST(FormatDurationTest, MultiUnit) {
  EXPECT_EQ(Multi(3723500), "1 小时 2 分钟 3 秒");
  EXPECT_EQ(Multi(86400000), "1 天");
  EXPECT_EQ(Multi(61000), "1 分钟 1 秒");
  EXPECT_EQ(Multi(999), "999 毫秒");
  EXPECT_EQ(Multi(0), "0 毫秒");
  EXPECT_EQ(Multi(3600000), "1 小时");
  EXPECT_EQ(Multi(1999), "1 秒");
  EXPECT_EQ(Multi(31104000000LL + 2592000000LL + 86400000LL + 1000), "1 年 1 月 1 天 1 秒");
}

uint32_t fake_tick = 0;
uint32_t FakeTick() {
  return fake_tick;
}

TEST(StopwatchTest, ElapsedTextAppendsSpaceAndSuffixAndRestarts) {
  fake_tick = 5000;
  Stopwatch watch(FakeTick);
  fake_tick += 12500;
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText()), "12.5 秒 ");
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText("done")), "0 毫秒 done");
  fake_tick += 250;
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText("", true)), "250 毫秒 ");
  fake_tick += 250;
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText("", true)), "500 毫秒 ");
  watch.Start();
  fake_tick += 90000;
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText()), "1.5 分 ");
}

TEST(StopwatchTest, TickWrapsAround) {
  fake_tick = 0xFFFFFF00u;
  Stopwatch watch(FakeTick);
  fake_tick += 0x200;  // wraps past zero
  EXPECT_EQ(Gb18030ToUtf8(watch.ElapsedText()), "512 毫秒 ");
}

TEST(StopwatchTest, CopiesKeepTheirStart) {
  fake_tick = 100;
  Stopwatch a(FakeTick);
  fake_tick = 1100;
  Stopwatch b = a;
  EXPECT_EQ(Gb18030ToUtf8(a.ElapsedText()), "1 秒 ");
  EXPECT_EQ(Gb18030ToUtf8(b.ElapsedText("", true)), "1 秒 ");
}

TEST(StopwatchTest, RealClock) {
  Stopwatch watch;
  std::string text = Gb18030ToUtf8(watch.ElapsedText("x"));
  EXPECT_EQ(text.substr(text.size() - 2), " x");
  EXPECT_NE(text.find("毫秒"), std::string::npos);  // a fresh watch is below a second
  uint32_t a = CurrentTick();
  uint32_t b = CurrentTick();
  EXPECT_LT(b - a, 1000u);
}

}  // namespace
}  // namespace keelnode
