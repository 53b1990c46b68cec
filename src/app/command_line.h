// The headless face of the program: `keelnode --tree | --paths | --nodes`.
//
// It prints what the window would show for a document, in UTF-8, one line
// per tree item (or per node), so the core can be used in scripts and
// checked without a display.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace keelnode {

struct CommandLineIo {
  std::ostream& out;
  std::ostream& err;
  // Reads all of standard input; false when it cannot be read.
  std::function<bool(std::string&)> readStdin;
  // Fetches an http:// or https:// address as the paste button's right
  // click does (automatic charset); empty text on failure.
  std::function<std::string(const std::string&)> fetch;
};

// True when `argument` names one of the modes.
bool IsCommandLineMode(const std::string& argument);

// Runs the mode given by args[0] with the options and the input that follow.
// Returns the exit status: 0, 2 when the input cannot be read, 64 on bad
// usage (the usage text then goes to err).
int RunCommandLine(const std::vector<std::string>& args, CommandLineIo& io);

}  // namespace keelnode
