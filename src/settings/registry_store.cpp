#include "settings/registry_store.h"

#include <cstdlib>
#include <utility>

#include "services/mbcs.h"
#include "settings/settings_store.h"

namespace keelnode {
namespace {

std::string ConfigFolder() {
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  return {};
}

// Key path and value name.
std::pair<std::string_view, std::string_view> SplitValuePath(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t at = 0; (at = FindAsciiByte(path, '\\', at)) != std::string_view::npos; ++at) {
    last = at;
  }
  if (last == std::string_view::npos) return {std::string_view(), path};
  return {path.substr(0, last), path.substr(last + 1)};
}

}  // namespace

std::string RegistryFilePath() {
  std::string folder = ConfigFolder();
  return folder.empty() ? folder : folder + "/keelnode/registry.ini";
}

bool WriteRegistryValue(FileSystem& files, std::string_view value_path, std::string_view text) {
  const std::string folder = ConfigFolder();
  if (folder.empty() || !files.MakeDirectory(folder) ||
      !files.MakeDirectory(folder + "/keelnode")) {
    return false;
  }
  auto [key_path, name] = SplitValuePath(value_path);
  SettingsStore file(files);
  return file.Open(RegistryFilePath()) &&
         file.WriteEntry(key_path, name, text, true) == SettingsStore::kDone;
}

std::optional<std::string> ReadRegistryValue(FileSystem& files, std::string_view value_path) {
  const std::string path = RegistryFilePath();
  if (path.empty()) return std::nullopt;
  auto [key_path, name] = SplitValuePath(value_path);
  SettingsStore file(files);
  file.Open(path, StorageMode::kMemoryOnly);
  return file.LookUp(key_path, name);
}

}  // namespace keelnode
