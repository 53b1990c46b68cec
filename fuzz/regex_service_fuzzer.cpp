// Fuzzes the regular-expression service: any pattern compiles or
// is rejected cleanly; Execute, the accessors, Matches and Replace agree
// with each other; the escape helpers give patterns that match their text.
//
// Input: one byte of flags, then pattern, subject and replacement separated
// by 0x00 bytes (missing parts are empty).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "services/code_page.h"
#include "services/regex_service.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string_view NextPart(std::string_view& rest) {
  size_t zero = rest.find('\0');
  std::string_view part = rest.substr(0, zero);
  rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  return part;
}

// True when the text survives the trip to the engine's UTF-8 and back (it
// does not when it holds a character in U+10FE00..U+10FEFF, whose UTF-8 the
// conversion also uses for escaped invalid bytes).
bool RoundTrips(std::string_view text) {
  using namespace keelnode;
  return Utf8ToGb18030(Gb18030ToUtf8(text, InvalidBytes::kEscape)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace keelnode;
  if (size < 1 || size > 4096) return 0;
  const uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string_view pattern = NextPart(rest);
  std::string_view subject = NextPart(rest);
  std::string_view replacement = NextPart(rest);
  if (pattern.size() > 256) return 0;
  const bool ignore_case = flags & 1;
  const bool multiline = flags & 2;
  const bool global = flags & 4;

  RegexService regex;
  bool compiled = regex.Compile(pattern, ignore_case, multiline, global);
  Check(compiled ? regex.Pattern() == pattern : regex.Pattern().empty());

  int count = regex.Execute(subject);
  Check(count == regex.MatchCount());
  Check(count >= 0);
  if (!global) Check(count <= 1);
  Check(regex.Matches(subject) == (count != 0));
  int previous = -1;
  for (int n = 1; n <= count; ++n) {
    int position = -1;
    std::string value = regex.MatchValueAt(n, &position);
    Check(position >= previous);
    previous = position;
    Check(value == regex.MatchValue(n));
    for (int k = 1; k <= regex.SubMatchCount(); ++k) {
      int sub_position = -1;
      Check(regex.SubMatchAt(n, k, &sub_position) == regex.SubMatch(n, k));
      Check(sub_position == position);
    }
  }
  Check(regex.MatchValue(count + 1).empty());

  std::string replaced = regex.Replace(subject, replacement);
  if (count == 0) Check(replaced == subject);
  if (RoundTrips(subject)) Check(regex.Replace(subject, "$&") == subject);

  // Copies see the same matches.
  RegexService copy = regex;
  Check(copy.MatchCount() == count);
  if (count > 0) Check(copy.MatchValue(count) == regex.MatchValue(count));

  // An escaped literal always compiles and matches the text it came from; so
  // does a wildcard without "|" (with few stars: ".*.*.*..." backtracks
  // exponentially and may reach the engine's match limit, which reads as no
  // match).
  if (subject.size() <= 256) {
    RegexService literal;
    Check(literal.Compile(RegexService::EscapeAll(subject), ignore_case, multiline, false));
    Check(literal.Matches(subject));
    size_t wildcards = 0;
    for (char c : subject)
      wildcards += c == '*' || c == '?';
    if (subject.find('|') == std::string_view::npos && wildcards <= 3) {
      Check(
          literal.Compile(RegexService::WildcardToPattern(subject), ignore_case, multiline, false));
      Check(literal.Matches(subject));
    }
  }
  return 0;
}
