// Finding sections and entries in the byte image of a settings file.
//
// Lines are separated by CR LF only; a lone CR or LF is ordinary content.
// A section header "[name]" counts only at the start of the image or right
// after a CR LF. An entry is CR LF + key + "=" + value, the value running up
// to the next CR LF or the end of the image. Names match byte for byte.
// Positions are 0-based. Every function here is linear in the image size.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

// True when `pos` is the start of the image or follows a CR LF.
bool StartsLine(std::string_view image, size_t pos);

std::string HeaderPattern(std::string_view section);

// Position of the "[" of the first header line lying within [from, to]
// (both inclusive, after a CR LF, ending in "]" CR LF with no CR LF inside);
// npos when there is none. This is what tells whether an entry found
// after a section's header still belongs to that section.
size_t FindHeaderBetween(std::string_view image, size_t from, size_t to);

struct EntryRange {
  size_t key_start;    // first byte of the key (after its CR LF)
  size_t value_start;  // after the "="
  size_t value_end;    // one past the value's last byte
};

// The first entry of `key` after the header whose "]" is at `header_end`,
// unless a later section's header comes before it (then the section has no
// such entry and later matches are not looked at).
std::optional<EntryRange> FindEntry(std::string_view image, size_t header_end,
                                    std::string_view key);

// The image split at every CR LF.
std::vector<std::string_view> SplitLines(std::string_view image);

// The name inside a line of the form "[name]"; nothing for other lines.
std::optional<std::string_view> HeaderName(std::string_view line);

}  // namespace keelnode
