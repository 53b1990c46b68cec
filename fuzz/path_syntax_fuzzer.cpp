// Fuzzes the path readers: any text is read or refused without reading past
// it, and whatever a reader takes, written back in its syntax, reads as the
// same steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/path_reading.h"
#include "json/path_writing.h"
#include "services/mbcs.h"

namespace {

using namespace keelnode;

void Check(bool condition) {
  if (!condition) std::abort();
}

// A name whose last byte opens a double-byte character takes the closing
// quote into it when written: such text is no path of any syntax.
bool EndsInLeadByte(const std::string& name) {
  size_t i = 0;
  size_t last = 0;
  while (i < name.size()) {
    last = UnitLength(name, i);
    i += last;
  }
  return i > name.size() ||
         (last == 1 && !name.empty() && static_cast<unsigned char>(name.back()) >= 0x80);
}

struct Syntax {
  Steps (*read)(std::string_view);
  std::string (*write)(const std::vector<PathStep>&);
};

constexpr Syntax kSyntaxes[] = {
    {ReadJavaScriptPath, WriteJavaScriptPath},
    {ReadJqPath, WriteJqPath},
    {ReadJsonPath, WriteJsonPath},
    {ReadJsonPointer, WriteJsonPointer},
    {ReadPythonPath, WritePythonPath},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const Syntax& syntax : kSyntaxes) {
    const Steps steps = syntax.read(text);
    if (!steps) continue;
    bool writable = true;
    for (const PathStep& step : *steps)
      writable = writable && !EndsInLeadByte(step.name);
    if (!writable) continue;
    const Steps again = syntax.read(syntax.write(*steps));
    Check(again.has_value());
    Check(*again == *steps);
  }
  return 0;
}
