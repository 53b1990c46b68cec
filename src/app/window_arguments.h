// The window's command line, `keelnode [--data-dir DIR] [--new-window]
// [FILE...]`, and the folder its files live in.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace keelnode {

// What a start does when a window already runs on the same data folder.
enum class Launch {
  kJoinRunning,  // hand the files to that window and end
  kNewWindow,    // open a window of its own (it saves nothing)
};

struct WindowArguments {
  std::optional<std::string> dataDir;  // as given; file-system bytes
  std::vector<std::string> files;      // loaded into the current tab and those after it
  Launch launch = Launch::kJoinRunning;
};

// At most one file per tab.
inline constexpr size_t kMostStartFiles = 7;

// The arguments after the program name (Qt's own options are let through).
// Nothing, with a one-line reason in `error`, on bad usage or when the
// arguments ask for one of the printing modes instead of the window.
std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& args,
                                                    std::string* error);

// The run directory: --data-dir, else the environment's KEELNODE_DATA_DIR
// (when not empty), else `defaultDir` (DefaultDataDirectory); made absolute
// against `workingDir`, without a trailing slash.
std::string ResolveDataDirectory(const std::optional<std::string>& option, const char* environment,
                                 const std::string& defaultDir, const std::string& workingDir);

// Where a program keeps its files when nothing names a folder: beside the
// executable when it runs from its build folder (`buildDir`), as it always
// has; an installed program cannot write there, so $XDG_DATA_HOME/keelnode
// (an absolute XDG_DATA_HOME only), else HOME/.local/share/keelnode.
std::string DefaultDataDirectory(const std::string& executableDir, const std::string& buildDir,
                                 const char* xdgDataHome, const std::string& home);

// The settings file in the run directory.
std::string SettingsFilePath(const std::string& dataDir);

}  // namespace keelnode
