// keelnode: the window, or with --tree, --paths, --nodes, --value or
// --search the command line.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input_text.h"
#include "app/program_command.h"
#include "app/run_program.h"
#include "app/sample_document.h"
#include "net/fetch_address.h"
#include "services/memory_budget.h"
#include "viewer/run_window.h"

namespace {

int RunCommandLineMode(const std::vector<std::string>& args,
                       std::function<bool(std::string&)> readStdin = nullptr) {
  if (!readStdin) {
    readStdin = [](std::string& bytes) {
      std::string error;
      return keelnode::ReadWholeDescriptor(STDIN_FILENO, bytes, &error);
    };
  }
  keelnode::CommandLineIo io{
      std::cout, std::cerr, std::move(readStdin),
      [](const std::string& address) -> keelnode::FetchResult {
        // As the paste button's right click with no modifier key.
        keelnode::FetchSettings settings;
        settings.transfer.maxTextBytes =
            keelnode::InflateLimitForLoads(keelnode::LoadHolder::kCommandLine);
        return keelnode::fetchAddress(address, keelnode::CharsetMode::Auto, settings);
      }};
  return keelnode::RunCommandLine(args, io);
}

// Without a display the files are printed as --tree prints them; with none,
// the sample document shipped with the program is.
int PrintInsteadOfWindow(const std::vector<std::string>& files) {
  if (files.empty()) {
    std::cerr << "keelnode: no display available; showing the sample document's tree instead\n";
    return RunCommandLineMode({"--tree", "-"}, [](std::string& bytes) {
      bytes = keelnode::SampleDocument();
      return true;
    });
  }
  std::cerr << "keelnode: no display available; printing the tree of "
            << (files.size() == 1 ? "the file" : "each file") << " instead\n";
  int status = keelnode::kExitOk;
  for (const std::string& file : files)
    status = std::max(status, RunCommandLineMode({"--tree", "--", file}));
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<keelnode::ProgramCommand> command =
      keelnode::ParseProgramCommand(args, &error);
  if (!command) {
    std::cerr << keelnode::UsageErrorLine(error);
    return keelnode::kExitUsage;
  }
  if (command->action != keelnode::Action::kWindow) return RunCommandLineMode(args);
  const int status = keelnode::RunProgram(argc, argv, command->window);
  if (status != keelnode::kNoDisplayStatus) return status;
  return PrintInsteadOfWindow(command->window.files);
}
