// Storage for the many texts of a loaded document.
//
// Small texts are copied into large chunks so that millions of short names
// and values cost no heap block each; large texts are kept as they are, so a
// value that is a slice of one of them can be a view into it. Views stay
// valid until Clear() or destruction; copying an arena copies every text and
// Rebase() maps a view into the source to the same bytes in the copy.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

class TextArena {
 public:
  TextArena() = default;
  TextArena(const TextArena& other);
  TextArena& operator=(const TextArena& other);
  TextArena(TextArena&&) noexcept = default;
  TextArena& operator=(TextArena&&) noexcept = default;

  // Takes ownership of `text`; returns a view of it.
  std::string_view Keep(std::string text);
  // Copies `text` into the arena.
  std::string_view Copy(std::string_view text);
  void Clear();
  size_t bytes() const { return bytes_; }
  // The text that holds `view`, shared: it outlives Clear() and the arena
  // for as long as the caller keeps it. Null when the arena does not hold
  // the view.
  std::shared_ptr<const std::string> Holder(std::string_view view) const;

  // Maps views into an arena to the same bytes in a copy of it.
  class Rebaser {
   public:
    Rebaser(const TextArena& source, const TextArena& copy);
    // A view not held by the source is returned as is.
    std::string_view operator()(std::string_view view) const;

   private:
    struct Range {
      const char* begin;
      const char* end;
      const char* target;
    };
    std::vector<Range> ranges_;  // sorted by begin
  };

 private:
  // A chunk of small texts (used < data->size()) or one large text. The
  // string never moves, so views survive growth of blocks_; it is shared so
  // that a reader may keep a value past the next load (see Holder).
  struct Block {
    std::shared_ptr<std::string> data;
    size_t used = 0;
  };
  static constexpr size_t kChunkSize = 256 * 1024;
  static constexpr size_t kLargeText = 4096;

  std::string_view Append(Block block);

  std::vector<Block> blocks_;
  size_t bytes_ = 0;
  int current_chunk_ = -1;
};

}  // namespace keelnode
