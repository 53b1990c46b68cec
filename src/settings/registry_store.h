// The registry back end of the settings store, on Linux: one ini file under
// the user's config folder ($XDG_CONFIG_HOME, else ~/.config) in the folder
// "keelnode", named "registry.ini". A registry value path such as
// "岚溪软件\name\section\key" is split at its last backslash: the key path
// before it is the file's section, the value name after it is the entry's
// key. Values hold the same texts the ini back end would write.
//
// Each call opens, edits and closes the file, so no lock is held between
// calls, as the registry holds none.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/file_system.h"

namespace keelnode {

// Empty when neither variable names a usable folder.
std::string RegistryFilePath();

// `value_path` is GB18030 text; a trail byte 0x5C is not a backslash.
bool WriteRegistryValue(FileSystem& files, std::string_view value_path, std::string_view text);
std::optional<std::string> ReadRegistryValue(FileSystem& files, std::string_view value_path);

}  // namespace keelnode
