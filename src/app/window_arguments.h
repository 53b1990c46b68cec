// The window's command line, `keelnode [--data-dir DIR] [FILE...]`, and the
// folder its files live in.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace keelnode {

struct WindowArguments {
  std::optional<std::string> dataDir;  // as given; file-system bytes
  std::vector<std::string> files;      // loaded into the current tab and those after it
};

// At most one file per tab.
inline constexpr size_t kMostStartFiles = 7;

// The arguments after the program name, Qt's own options already taken out.
// Nothing, with a one-line reason in `error`, on bad usage.
std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& args,
                                                    std::string* error);

// The run directory: --data-dir, else the environment's KEELNODE_DATA_DIR
// (when not empty), else the executable's folder; made absolute against
// `workingDir`, without a trailing slash.
std::string ResolveDataDirectory(const std::optional<std::string>& option, const char* environment,
                                 const std::string& executableDir, const std::string& workingDir);

// The settings file in the run directory.
std::string SettingsFilePath(const std::string& dataDir);

}  // namespace keelnode
