#include "app/window_arguments.h"

#include <filesystem>
#include <system_error>

#include "app/program_command.h"

namespace keelnode {

std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& args,
                                                    std::string* error) {
  std::optional<ProgramCommand> command = ParseProgramCommand(args, error);
  if (!command) return std::nullopt;
  if (command->action != Action::kWindow) {
    *error = "not a window start";
    return std::nullopt;
  }
  return std::move(command->window);
}

std::string ResolveDataDirectory(const std::optional<std::string>& option, const char* environment,
                                 const std::string& defaultDir, const std::string& workingDir) {
  std::filesystem::path dir = defaultDir;
  if (option) {
    dir = *option;
  } else if (environment != nullptr && *environment != '\0') {
    dir = environment;
  }
  if (dir.is_relative()) dir = std::filesystem::path(workingDir) / dir;
  std::string text = dir.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  return text;
}

std::string DefaultDataDirectory(const std::string& executableDir, const std::string& buildDir,
                                 const char* xdgDataHome, const std::string& home) {
  std::error_code error;
  if (!buildDir.empty() && std::filesystem::equivalent(executableDir, buildDir, error))
    return executableDir;
  // The base directory specification ignores a relative XDG_DATA_HOME.
  std::filesystem::path base;
  if (xdgDataHome != nullptr && *xdgDataHome == '/') {
    base = xdgDataHome;
  } else {
    base = std::filesystem::path(home) / ".local/share";
  }
  return (base / "keelnode").lexically_normal().string();
}

std::string SettingsFilePath(const std::string& dataDir) {
  return dataDir + "/岚溪·DUVOvidu.ini";
}

}  // namespace keelnode
