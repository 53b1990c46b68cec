// keelnode: the window, or with --tree / --paths / --nodes the command line.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input_text.h"
#include "net/fetch_address.h"
#include "viewer/run_window.h"

namespace {

bool DisplayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// The sample document shipped with the program, next to the build or the
// source tree.
std::string SamplePath() {
  return KEELNODE_SAMPLE_DOCUMENT;
}

int RunCommandLineMode(const std::vector<std::string>& args) {
  std::ios::sync_with_stdio(false);
  keelnode::CommandLineIo io{std::cout, std::cerr,
                             [](std::string& bytes) {
                               std::string error;
                               return keelnode::ReadWholeDescriptor(STDIN_FILENO, bytes, &error);
                             },
                             [](const std::string& address) {
                               // As the paste button's right click with no modifier key.
                               return keelnode::fetchAddress(address, keelnode::CharsetMode::Auto);
                             }};
  return keelnode::RunCommandLine(args, io);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && keelnode::IsCommandLineMode(argv[1]))
    return RunCommandLineMode(std::vector<std::string>(argv + 1, argv + argc));
  if (!DisplayAvailable()) {
    std::cerr << "keelnode: no display available; showing the sample document's tree instead\n";
    return RunCommandLineMode({"--tree", SamplePath()});
  }
  return keelnode::RunMainWindow(argc, argv);
}
