// Whether a document can be loaded in the memory this machine has left.
//
// A load holds far more than its text: nodes, the tree item block, labels,
// the window's model. Before one starts, its peak is estimated from the
// text's size and a count of the bytes that may start a node, with costs
// measured on the program itself (the benchmarks print them), and compared
// with the memory available: MemAvailable, lowered to what a cgroup limit
// leaves. A load that cannot fit is refused before it takes anything, so the
// kernel never has to kill the program halfway.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "services/result.h"

namespace keelnode {

// Who holds the loaded document: the window keeps a model and labels per
// item, the command line only what it prints from.
enum class LoadHolder { kCommandLine, kWindow };

struct LoadEstimate {
  uint64_t textBytes = 0;
  uint64_t nodes = 0;  // an upper bound: separators inside strings count too
  uint64_t peakBytes = 0;
};

struct MemoryShortfall {
  LoadEstimate estimate;
  uint64_t availableBytes = 0;
};

LoadEstimate EstimateLoad(std::string_view text, LoadHolder holder);

// The largest text of plain records a load can take in `availableBytes`:
// the bound for bodies still to be decompressed.
uint64_t LargestLoadableText(uint64_t availableBytes, LoadHolder holder);

// What a compressed body may inflate to: at most 1 GiB, and no more than a
// load could take now.
uint64_t InflateLimitForLoads(LoadHolder holder);

inline uint64_t WholeMebibytes(uint64_t bytes) {
  return (bytes + (uint64_t{1} << 20) - 1) >> 20;
}

// Bytes of memory this process may still take; nothing when the system
// does not say. KEELNODE_MEMORY_AVAILABLE (bytes) overrides, for tests.
std::optional<uint64_t> AvailableMemory();

// Reading the kernel's figures, given their text (for tests).
std::optional<uint64_t> MemAvailableFromMeminfo(std::string_view meminfo);
std::optional<uint64_t> RoomUnderCgroupLimit(std::string_view limit, std::string_view usage);

// Ok when the load fits (or nothing is known about the memory).
Result<void, MemoryShortfall> CheckLoadFits(std::string_view text, LoadHolder holder);
Result<void, MemoryShortfall> CheckLoadFits(std::string_view text, LoadHolder holder,
                                            uint64_t availableBytes);

}  // namespace keelnode
