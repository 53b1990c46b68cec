#include "services/memory_budget.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace keelnode {
namespace {

// Peak bytes per text byte and per node, measured with /usr/bin/time on
// plain records, `[7,7,…]`, `["",…]` and `[,,,…]` (the dense shapes cost
// most per byte), rounded up.
struct LoadCosts {
  uint64_t perByte;
  uint64_t perNode;
};
constexpr LoadCosts kCommandLineCosts{8, 72};
constexpr LoadCosts kWindowCosts{18, 290};

LoadCosts CostsFor(LoadHolder holder) {
  return holder == LoadHolder::kWindow ? kWindowCosts : kCommandLineCosts;
}

uint64_t CountNodeStarts(std::string_view text) {
  // Branch-free, so the compiler vectorises it: a gigabyte takes well under
  // a second.
  uint64_t count = 0;
  for (const char c : text)
    count += (c == ',') | (c == '[') | (c == '{');
  return count;
}

std::optional<uint64_t> ParseNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The room the tightest cgroup v2 limit on this process's path leaves.
std::optional<uint64_t> CgroupRoom() {
  const std::optional<std::string> self = ReadSmallFile("/proc/self/cgroup");
  if (!self) return std::nullopt;
  // The unified hierarchy's line: "0::/path".
  const std::string lines = "\n" + *self;
  const size_t at = lines.find("\n0::");
  if (at == std::string::npos) return std::nullopt;
  const size_t start = at + 4;
  std::string group = lines.substr(start, lines.find('\n', start) - start);
  std::optional<uint64_t> room;
  while (true) {
    const std::string dir = "/sys/fs/cgroup" + (group == "/" ? std::string() : group);
    const std::optional<std::string> limit = ReadSmallFile(dir + "/memory.max");
    const std::optional<std::string> usage = ReadSmallFile(dir + "/memory.current");
    if (limit && usage) {
      if (const std::optional<uint64_t> here = RoomUnderCgroupLimit(*limit, *usage))
        room = room ? std::min(*room, *here) : *here;
    }
    if (group.empty() || group == "/") break;
    group.erase(std::max<size_t>(group.rfind('/'), 1));
  }
  return room;
}

}  // namespace

LoadEstimate EstimateLoad(std::string_view text, LoadHolder holder) {
  const LoadCosts costs = CostsFor(holder);
  LoadEstimate estimate;
  estimate.textBytes = text.size();
  estimate.nodes = CountNodeStarts(text) + 1;
  estimate.peakBytes = costs.perByte * estimate.textBytes + costs.perNode * estimate.nodes;
  return estimate;
}

uint64_t LargestLoadableText(uint64_t availableBytes, LoadHolder holder) {
  // The text is held already when the load is checked (see below).
  return availableBytes / (CostsFor(holder).perByte - 1);
}

uint64_t InflateLimitForLoads(LoadHolder holder) {
  constexpr uint64_t kCeiling = uint64_t{1} << 30;
  const std::optional<uint64_t> available = AvailableMemory();
  return available ? std::min(kCeiling, LargestLoadableText(*available, holder)) : kCeiling;
}

std::optional<uint64_t> MemAvailableFromMeminfo(std::string_view meminfo) {
  constexpr std::string_view kKey = "MemAvailable:";
  const size_t at = meminfo.find(kKey);
  if (at == std::string_view::npos) return std::nullopt;
  const std::optional<uint64_t> kilobytes = ParseNumber(meminfo.substr(at + kKey.size()));
  if (!kilobytes) return std::nullopt;
  return *kilobytes * 1024;
}

std::optional<uint64_t> RoomUnderCgroupLimit(std::string_view limit, std::string_view usage) {
  const std::optional<uint64_t> max = ParseNumber(limit);  // "max" reads as no limit
  const std::optional<uint64_t> used = ParseNumber(usage);
  if (!max || !used) return std::nullopt;
  return *max > *used ? *max - *used : 0;
}

std::optional<uint64_t> AvailableMemory() {
  if (const char* given = std::getenv("KEELNODE_MEMORY_AVAILABLE")) return ParseNumber(given);
  std::optional<uint64_t> available;
  if (const std::optional<std::string> meminfo = ReadSmallFile("/proc/meminfo"))
    available = MemAvailableFromMeminfo(*meminfo);
  if (const std::optional<uint64_t> room = CgroupRoom())
    available = available ? std::min(*available, *room) : *room;
  return available;
}

Result<void, MemoryShortfall> CheckLoadFits(std::string_view text, LoadHolder holder,
                                            uint64_t availableBytes) {
  const LoadEstimate estimate = EstimateLoad(text, holder);
  // The text itself is already held when the check runs.
  if (estimate.peakBytes <= availableBytes + estimate.textBytes) return {};
  return Fail(MemoryShortfall{estimate, availableBytes});
}

Result<void, MemoryShortfall> CheckLoadFits(std::string_view text, LoadHolder holder) {
  const std::optional<uint64_t> available = AvailableMemory();
  if (!available) return {};
  return CheckLoadFits(text, holder, *available);
}

}  // namespace keelnode
