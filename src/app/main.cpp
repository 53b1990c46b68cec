// keelnode: the window, or with --tree / --paths / --nodes the command line.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input_text.h"
#include "app/run_program.h"
#include "net/fetch_address.h"
#include "viewer/run_window.h"

namespace {

// The sample document shipped with the program, in its source tree.
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
  const int status = keelnode::RunProgram(argc, argv);
  if (status != keelnode::kNoDisplayStatus) return status;
  std::cerr << "keelnode: no display available; showing the sample document's tree instead\n";
  return RunCommandLineMode({"--tree", SamplePath()});
}
