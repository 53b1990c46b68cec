#include "app/window_arguments.h"

#include <filesystem>

namespace keelnode {

std::optional<WindowArguments> ParseWindowArguments(const std::vector<std::string>& args,
                                                    std::string* error) {
  WindowArguments parsed;
  bool optionsEnded = false;
  for (size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--data-dir") {
      if (k + 1 == args.size() || args[k + 1].empty()) {
        *error = "--data-dir needs a folder";
        return std::nullopt;
      }
      parsed.dataDir = args[++k];
    } else if (!optionsEnded && arg.starts_with("--data-dir=")) {
      parsed.dataDir = arg.substr(11);
      if (parsed.dataDir->empty()) {
        *error = "--data-dir needs a folder";
        return std::nullopt;
      }
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + arg;
      return std::nullopt;
    } else {
      parsed.files.push_back(arg);
    }
  }
  if (parsed.files.size() > kMostStartFiles) {
    *error = "at most 7 files, one per tab";
    return std::nullopt;
  }
  return parsed;
}

std::string ResolveDataDirectory(const std::optional<std::string>& option, const char* environment,
                                 const std::string& executableDir, const std::string& workingDir) {
  std::filesystem::path dir = executableDir;
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

std::string SettingsFilePath(const std::string& dataDir) {
  return dataDir + "/岚溪·DUVOvidu.ini";
}

}  // namespace keelnode
