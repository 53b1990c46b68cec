#include "json/text_arena.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace keelnode {

TextArena::TextArena(const TextArena& other) {
  *this = other;
}

TextArena& TextArena::operator=(const TextArena& other) {
  if (this == &other) return *this;
  blocks_.clear();
  blocks_.reserve(other.blocks_.size());
  for (const Block& b : other.blocks_) {
    Block copy;
    copy.data = std::make_shared<std::string>(*b.data);
    copy.used = b.used;
    blocks_.push_back(std::move(copy));
  }
  bytes_ = other.bytes_;
  current_chunk_ = other.current_chunk_;
  return *this;
}

std::string_view TextArena::Append(Block block) {
  bytes_ += block.used;
  blocks_.push_back(std::move(block));
  const Block& b = blocks_.back();
  return {b.data->data(), b.used};
}

std::string_view TextArena::Keep(std::string text) {
  if (text.size() < kLargeText) return Copy(text);
  size_t size = text.size();
  return Append(Block{std::make_shared<std::string>(std::move(text)), size});
}

std::string_view TextArena::Copy(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() >= kLargeText) return Keep(std::string(text));
  if (current_chunk_ < 0 ||
      blocks_[current_chunk_].data->size() - blocks_[current_chunk_].used < text.size()) {
    blocks_.push_back(Block{std::make_shared<std::string>(kChunkSize, '\0'), 0});
    current_chunk_ = static_cast<int>(blocks_.size()) - 1;
  }
  Block& chunk = blocks_[current_chunk_];
  char* at = chunk.data->data() + chunk.used;
  std::memcpy(at, text.data(), text.size());
  chunk.used += text.size();
  bytes_ += text.size();
  return {at, text.size()};
}

std::shared_ptr<const std::string> TextArena::Holder(std::string_view view) const {
  if (view.empty()) return nullptr;
  // Large texts come last and are few; a long value lies in one of them.
  for (size_t i = blocks_.size(); i-- > 0;) {
    const std::string& text = *blocks_[i].data;
    if (!std::less<>()(view.data(), text.data()) &&
        !std::less<>()(text.data() + text.size(), view.data() + view.size()))
      return blocks_[i].data;
  }
  return nullptr;
}

void TextArena::Clear() {
  blocks_.clear();
  bytes_ = 0;
  current_chunk_ = -1;
}

TextArena::Rebaser::Rebaser(const TextArena& source, const TextArena& copy) {
  for (size_t i = 0; i < source.blocks_.size() && i < copy.blocks_.size(); ++i) {
    const std::string& from = *source.blocks_[i].data;
    ranges_.push_back({from.data(), from.data() + from.size(), copy.blocks_[i].data->data()});
  }
  std::sort(ranges_.begin(), ranges_.end(),
            [](const Range& a, const Range& b) { return std::less<>()(a.begin, b.begin); });
}

std::string_view TextArena::Rebaser::operator()(std::string_view view) const {
  if (view.empty()) return {};
  auto it =
      std::upper_bound(ranges_.begin(), ranges_.end(), view.data(),
                       [](const char* p, const Range& r) { return std::less<>()(p, r.begin); });
  if (it == ranges_.begin()) return view;
  --it;
  if (!std::less<>()(view.data(), it->end)) return view;
  return {it->target + (view.data() - it->begin), view.size()};
}

}  // namespace keelnode
