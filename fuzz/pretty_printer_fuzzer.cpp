// Fuzzes the pretty-printer: it never fails, keeps every non-layout byte,
// reports true line starts, and minifying its output equals minifying the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/pretty_printer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

size_t NonLayoutBytes(std::string_view text) {
  size_t count = 0;
  for (char c : text)
    count += !(c == ' ' || c == '\t' || c == '\r' || c == '\n');
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace keelnode;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const PrettyText pretty = prettyPrint(text, {.indentWidth = 2, .deepestIndentedLevel = 8});
  Check(!pretty.lineStarts.empty() && pretty.lineStarts[0] == 0);
  for (size_t i = 1; i < pretty.lineStarts.size(); ++i)
    Check(pretty.text[pretty.lineStarts[i] - 1] == '\n');
  const std::string small = minify(text);
  Check(minify(pretty.text) == small);
  Check(NonLayoutBytes(small) == NonLayoutBytes(text));
  Check(NonLayoutBytes(pretty.text) == NonLayoutBytes(text));
  Check(small.size() <= text.size());
  for (size_t line = 0; line + 1 < pretty.lineStarts.size() && line < 64; ++line) {
    const size_t start = pretty.lineStarts[line];
    const std::string_view one(pretty.text.data() + start, pretty.lineStarts[line + 1] - start);
    for (const Token& token : classifyLine(one))
      Check(token.begin + token.length <= one.size());
  }
  return 0;
}
