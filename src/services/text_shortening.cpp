#include "services/text_shortening.h"

#include <vector>

#include "services/mbcs.h"

namespace keelnode {
namespace {

// Bytes taken by the character that starts at `pos`, CR LF counting as one.
size_t DisplayCharacterLength(std::string_view text, size_t pos) {
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return 2;
  return CharacterLength(text, pos);
}

// Start offsets of every character, followed by text.size().
std::vector<size_t> CharacterStarts(std::string_view text) {
  std::vector<size_t> starts;
  starts.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); i += DisplayCharacterLength(text, i))
    starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

// n as LeftChars and RightChars read it: negative n counts from the other
// end; the result lies in 0..count.
size_t EffectiveCount(int n, size_t count) {
  long long wanted = n;
  if (wanted < 0) wanted += static_cast<long long>(count);
  if (wanted <= 0) return 0;
  return static_cast<size_t>(wanted) < count ? static_cast<size_t>(wanted) : count;
}

}  // namespace

int CountChars(std::string_view text, int line_breaks) {
  long long count = 0;
  size_t i = 0;
  while (i < text.size()) {
    size_t len = DisplayCharacterLength(text, i);
    char b = text[i];
    bool line_break = b == '\r' || b == '\n';
    if (!line_break) {
      ++count;
    } else if (line_breaks == 0) {
      // CR and LF bytes are not counted at all.
    } else if (line_breaks == 2) {
      count += static_cast<long long>(len);  // CR LF is two characters
    } else {
      ++count;
    }
    i += len;
  }
  return static_cast<int>(count);
}

std::string LeftChars(std::string_view text, int n) {
  std::vector<size_t> starts = CharacterStarts(text);
  size_t keep = EffectiveCount(n, starts.size() - 1);
  return std::string(text.substr(0, starts[keep]));
}

std::string RightChars(std::string_view text, int n) {
  std::vector<size_t> starts = CharacterStarts(text);
  size_t count = starts.size() - 1;
  size_t keep = EffectiveCount(n, count);
  return std::string(text.substr(starts[count - keep]));
}

std::string ShortenMiddle(std::string_view text, int width) {
  if (width >= 0 && text.size() < static_cast<size_t>(width)) return std::string(text);
  if (width < 0) return "...";  // never passed; any result that terminates will do
  // half = (width - 3) / 2 + 1 with fractions, truncated toward zero: that is
  // (width - 1) / 2 for width >= 1 and 0 for width 0.
  long long half = width >= 1 ? (static_cast<long long>(width) - 1) / 2 : 0;
  size_t limit = static_cast<size_t>(half);

  // Each end keeps at most `half` characters and at most `half` bytes, and
  // never part of a character.
  std::vector<size_t> starts = CharacterStarts(text);
  size_t count = starts.size() - 1;
  size_t left = 0;  // characters kept at the beginning
  while (left < limit && left < count && starts[left + 1] <= limit)
    ++left;
  size_t right = 0;  // characters kept at the end
  while (right < limit && right < count && text.size() - starts[count - right - 1] <= limit)
    ++right;

  std::string out(text.substr(0, starts[left]));
  out += "...";
  out.append(text.substr(starts[count - right]));
  return out;
}

}  // namespace keelnode
