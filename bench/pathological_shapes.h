// Documents shaped to make a careless scan quadratic, at any size, as
// program text (GB18030). Each is deterministic for its size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace keelnode::bench {

struct Shape {
  const char* name;
  const char* what;
  std::string (*make)(size_t bytes);
};

const std::vector<Shape>& PathologicalShapes();

// An ini image of about `bytes` bytes, with the window's section last.
struct IniShape {
  const char* name;
  const char* what;
  std::string (*make)(size_t bytes);
};

const std::vector<IniShape>& PathologicalIniShapes();

}  // namespace keelnode::bench
