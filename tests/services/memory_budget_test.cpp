#include "services/memory_budget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace keelnode {
namespace {

TEST(MemoryBudgetTest, DenseShapesAreEstimatedAboveRecordsOfTheSameSize) {
  // Same size, very different node counts: the estimate must follow the
  // nodes, or `[,,,…]` would pass a check that plain records fail.
  const std::string records = std::string("{\"url\":\"https://example.com/a?b=1&c=2\"}") + ",";
  std::string plain = "[";
  while (plain.size() < 100000)
    plain += records;
  std::string dense = "[" + std::string(plain.size() - 2, ',') + "]";
  const LoadEstimate a = EstimateLoad(plain, LoadHolder::kCommandLine);
  const LoadEstimate b = EstimateLoad(dense, LoadHolder::kCommandLine);
  EXPECT_EQ(a.textBytes, b.textBytes);
  EXPECT_GT(b.nodes, 10 * a.nodes);
  EXPECT_GT(b.peakBytes, 3 * a.peakBytes);
  // The window holds a model and labels besides.
  EXPECT_GT(EstimateLoad(plain, LoadHolder::kWindow).peakBytes, a.peakBytes);
  // Each estimate is at least the text itself.
  EXPECT_GE(a.peakBytes, a.textBytes);
  EXPECT_EQ(EstimateLoad("", LoadHolder::kWindow).nodes, 1u);
}

TEST(MemoryBudgetTest, ALoadFitsOrIsRefusedWithItsFigures) {
  const std::string text = "[1,2,3]";
  const LoadEstimate estimate = EstimateLoad(text, LoadHolder::kWindow);
  // The text is in memory already; the rest of the peak must fit.
  const uint64_t rest = estimate.peakBytes - estimate.textBytes;
  EXPECT_TRUE(CheckLoadFits(text, LoadHolder::kWindow, rest).ok());
  const auto refused = CheckLoadFits(text, LoadHolder::kWindow, rest - 1);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().availableBytes, rest - 1);
  EXPECT_EQ(refused.error().estimate.peakBytes, estimate.peakBytes);
  EXPECT_EQ(refused.error().estimate.nodes, 4u);
}

TEST(MemoryBudgetTest, TheLargestLoadableTextFitsAndOneMoreByteDoesNot) {
  const uint64_t available = 1 << 20;
  const uint64_t largest = LargestLoadableText(available, LoadHolder::kCommandLine);
  // A text without separators costs only its bytes (and the one node).
  const std::string fits(largest - 16, 'x');
  EXPECT_TRUE(CheckLoadFits(fits, LoadHolder::kCommandLine, available).ok());
  const std::string over(largest + 1, 'x');
  EXPECT_FALSE(CheckLoadFits(over, LoadHolder::kCommandLine, available).ok());
}

TEST(MemoryBudgetTest, KernelFiguresAreReadOrNotAtAll) {
  EXPECT_EQ(MemAvailableFromMeminfo("MemTotal:       24576000 kB\n"
                                    "MemFree:         1000000 kB\n"
                                    "MemAvailable:   16000000 kB\n"),
            uint64_t{16000000} * 1024);
  EXPECT_EQ(MemAvailableFromMeminfo("MemTotal: 100 kB\n"), std::nullopt);
  EXPECT_EQ(MemAvailableFromMeminfo("MemAvailable: lots\n"), std::nullopt);

  EXPECT_EQ(RoomUnderCgroupLimit("1073741824\n", "73741824\n"), uint64_t{1000000000});
  // Over the limit already (the kernel reclaims lazily): no room, not a wrap.
  EXPECT_EQ(RoomUnderCgroupLimit("1000\n", "5000\n"), uint64_t{0});
  EXPECT_EQ(RoomUnderCgroupLimit("max\n", "5000\n"), std::nullopt);
}

TEST(MemoryBudgetTest, TheEnvironmentOverridesTheKernel) {
  ASSERT_EQ(setenv("KEELNODE_MEMORY_AVAILABLE", "12345", 1), 0);
  EXPECT_EQ(AvailableMemory(), uint64_t{12345});
  EXPECT_FALSE(CheckLoadFits(std::string(2000, 'x'), LoadHolder::kCommandLine).ok());
  // A body may inflate only as far as a load could take.
  EXPECT_EQ(InflateLimitForLoads(LoadHolder::kCommandLine),
            LargestLoadableText(12345, LoadHolder::kCommandLine));
  EXPECT_LT(InflateLimitForLoads(LoadHolder::kWindow),
            InflateLimitForLoads(LoadHolder::kCommandLine));
  ASSERT_EQ(unsetenv("KEELNODE_MEMORY_AVAILABLE"), 0);
  // This machine says something, and a tiny load fits in it.
  ASSERT_TRUE(AvailableMemory().has_value());
  EXPECT_GT(*AvailableMemory(), uint64_t{1} << 20);
  EXPECT_TRUE(CheckLoadFits("[1]", LoadHolder::kWindow).ok());
  EXPECT_LE(InflateLimitForLoads(LoadHolder::kWindow), uint64_t{1} << 30);
}

}  // namespace
}  // namespace keelnode
