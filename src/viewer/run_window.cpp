#include "viewer/run_window.h"

#include <cstdio>

namespace keelnode {
// Placeholder until the window lands.
int RunMainWindow(int&, char**) {
  std::fputs("keelnode: the window is not built yet\n", stderr);
  return 1;
}
}  // namespace keelnode
