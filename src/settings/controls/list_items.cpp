#include "settings/controls/list_items.h"

#include <cstdint>

#include "services/code_page.h"

namespace keelnode {

std::string EncodeListItems(const std::vector<std::string>& items) {
  std::string bytes;
  const uint32_t count = static_cast<uint32_t>(items.size());
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<char>((count >> (8 * i)) & 0xFF));
  for (const std::string& item : items) {
    bytes.append(CutAtZero(item));
    bytes.push_back('\0');
  }
  return bytes;
}

std::optional<std::vector<std::string>> DecodeListItems(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  uint32_t count = 0;
  for (int i = 0; i < 4; ++i)
    count |= uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
  bytes.remove_prefix(4);
  // Each item takes at least its terminator; this also bounds the reserve.
  if (count > bytes.size()) return std::nullopt;
  std::vector<std::string> items;
  items.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    size_t end = bytes.find('\0');
    if (end == std::string_view::npos) return std::nullopt;
    items.emplace_back(bytes.substr(0, end));
    bytes.remove_prefix(end + 1);
  }
  if (!bytes.empty()) return std::nullopt;
  return items;
}

}  // namespace keelnode
