// Listing and whole-image operations of the settings store.
#include "settings/ini_image.h"
#include "settings/settings_store.h"

namespace keelnode {
namespace {

bool PassesFilters(std::string_view line, std::string_view include, std::string_view exclude) {
  return (include.empty() || line.find(include) != std::string_view::npos) &&
         (exclude.empty() || line.find(exclude) == std::string_view::npos);
}

}  // namespace

std::vector<std::string> SettingsStore::ListSections(std::string_view include,
                                                     std::string_view exclude) const {
  std::vector<std::string> names;
  for (std::string_view line : SplitLines(image_)) {
    std::optional<std::string_view> name = HeaderName(line);
    if (name && PassesFilters(line, include, exclude)) names.emplace_back(*name);
  }
  return names;
}

std::vector<std::string> SettingsStore::ListKeys(std::string_view section, std::string_view include,
                                                 std::string_view exclude) const {
  std::vector<std::string> keys;
  bool inside = false;
  for (std::string_view line : SplitLines(image_)) {
    if (std::optional<std::string_view> name = HeaderName(line)) {
      if (inside) break;
      inside = *name == section;
      continue;
    }
    size_t equals = line.find('=');
    if (inside && equals != std::string_view::npos && PassesFilters(line, include, exclude)) {
      keys.emplace_back(line.substr(0, equals));
    }
  }
  return keys;
}

std::vector<std::string> SettingsStore::ListSectionsWithKey(std::string_view key) {
  std::vector<std::string> names;
  for (std::string& name : ListSections()) {
    if (LookUp(name, key)) names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> SettingsStore::FindKeysByValue(std::string_view value,
                                                        std::string_view section_filter) {
  std::vector<std::string> found;
  for (const std::string& name : ListSections(section_filter)) {
    for (std::string& key : ListKeys(name)) {
      if (LookUp(name, key) == value) found.push_back(std::move(key));
    }
  }
  return found;
}

bool SettingsStore::SetImageText(std::string_view text, bool append) {
  // Copied first: the text may be a view of the image itself.
  const std::string bytes(text);
  return RunFresh([&] {
           const bool saved =
               append ? Edit(image_.size(), 0, bytes) : Edit(0, image_.size(), bytes);
           return saved ? kDone : kFailed;
         }) == kDone;
}

bool SettingsStore::SaveImageAs(const std::string& path) {
  const std::string& target = path.empty() ? loaded_path_ : path;
  // The held file already mirrors the image; replacing it would also drop
  // its lock.
  if (target == loaded_path_ && file_) return Saved();
  return files_.ReplaceFile(target, image_);
}

}  // namespace keelnode
