// The headless face of the program: `keelnode --tree | --paths | --nodes |
// --value PATH | --search TEXT`.
//
// It prints what the window would show for a document, in UTF-8, one line
// per tree item (or per node, per value, per matching item), so the core
// can be used in scripts and checked without a display.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/program_command.h"
#include "net/fetch_failure.h"

namespace keelnode {

struct CommandLineIo {
  std::ostream& out;
  std::ostream& err;
  // Reads all of standard input; false when it cannot be read.
  std::function<bool(std::string&)> readStdin;
  // Fetches an http:// or https:// address as the paste button's right
  // click does (automatic charset).
  std::function<FetchResult(const std::string&)> fetch;
};

// Runs one of the printing actions (--tree … --search) of `command`. Returns
// the exit status: 0; 1 when the path or the search finds nothing; 2 when
// the input cannot be read; 3 when the search's expression runs away (one
// line on err); 64 on bad usage (one line on err).
int RunPrintingCommand(const ProgramCommand& command, CommandLineIo& io);

// Reads `args` and runs what they ask for: a printing action, --help or
// --version; the window is not among them (exit 64).
int RunCommandLine(const std::vector<std::string>& args, CommandLineIo& io);

// The one line a usage error prints on stderr.
std::string UsageErrorLine(const std::string& reason);

}  // namespace keelnode
