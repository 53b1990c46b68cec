// The typed operations of the settings store, its side files and the
// registry back end.
#include <utility>

#include "services/code_page.h"
#include "settings/registry_store.h"
#include "settings/settings_store.h"
#include "settings/settings_texts.h"

namespace keelnode {

void SettingsStore::SetSection(std::string_view name) {
  section_ = name;
  // 岚溪软件\<file name of the configured path without its extension>\<section>\ .
  std::string base = configured_path_.substr(configured_path_.find_last_of('/') + 1);
  if (size_t dot = base.find_last_of('.'); dot != std::string::npos) base.resize(dot);
  registry_prefix_ = std::string(settings_text::kRegistryRoot);
  registry_prefix_.append("\\").append(Utf8ToGb18030(base)).append("\\");
  registry_prefix_.append(section_).append("\\");
}

bool SettingsStore::WriteTyped(std::string_view key, std::string_view encoded) {
  if (mode_ == StorageMode::kRegistry) {
    return WriteRegistryValue(files_, registry_prefix_ + std::string(key), encoded);
  }
  return WriteEntry(section_, key, encoded) == kDone;
}

std::optional<std::string> SettingsStore::ReadTyped(std::string_view key) {
  if (mode_ == StorageMode::kRegistry) {
    return ReadRegistryValue(files_, registry_prefix_ + std::string(key));
  }
  return LookUp(section_, key);
}

namespace {

// The decoded stored text, or the default exactly as given when the key is absent.
template <typename T, typename Decode>
T DecodedOr(const std::optional<std::string>& stored, T default_value, Decode decode) {
  return stored ? T(decode(*stored)) : default_value;
}

}  // namespace

bool SettingsStore::WriteText(std::string_view key, std::string_view value) {
  return WriteTyped(key, EncodeText(value));
}

std::string SettingsStore::ReadText(std::string_view key, std::string_view default_value) {
  return DecodedOr(ReadTyped(key), std::string(default_value), DecodeText);
}

bool SettingsStore::WriteNumber(std::string_view key, double value) {
  return WriteTyped(key, EncodeNumber(value));
}

double SettingsStore::ReadNumber(std::string_view key, double default_value) {
  return DecodedOr(ReadTyped(key), default_value, DecodeNumber);
}

bool SettingsStore::WriteFlag(std::string_view key, bool value) {
  return WriteTyped(key, EncodeFlag(value));
}

bool SettingsStore::ReadFlag(std::string_view key, bool default_value) {
  return DecodedOr(ReadTyped(key), default_value, DecodeFlag);
}

bool SettingsStore::ReadFlagLenient(std::string_view key, bool default_value) {
  return DecodedOr(ReadTyped(key), default_value, DecodeFlagLenient);
}

bool SettingsStore::WriteDateTime(std::string_view key, DateTime value) {
  return WriteTyped(key, EncodeDateTime(value));
}

DateTime SettingsStore::ReadDateTime(std::string_view key, DateTime default_value) {
  // Text that is no date-time reads as the default too.
  return DecodedOr(ReadTyped(key), default_value, [&](std::string_view stored) {
    return DecodeDateTime(stored).value_or(default_value);
  });
}

std::optional<std::string> SettingsStore::SideFilePath(std::string_view key) const {
  const std::string section = Gb18030ToUtf8(section_);
  const std::string name = Gb18030ToUtf8(key);
  // A slash would put the file outside the inibin folder.
  if (section.find('/') != std::string::npos || name.find('/') != std::string::npos) {
    return std::nullopt;
  }
  const size_t slash = configured_path_.find_last_of('/');
  std::string path = slash == std::string::npos ? "." : configured_path_.substr(0, slash);
  return path + "/inibin/" + section + "-" + name + ".ibn";
}

bool SettingsStore::WriteBytes(std::string_view key, std::string_view bytes) {
  std::optional<std::string> path = SideFilePath(key);
  if (!path) return false;
  return files_.MakeDirectory(path->substr(0, path->find_last_of('/'))) &&
         files_.ReplaceFile(*path, bytes);
}

std::string SettingsStore::ReadBytes(std::string_view key, std::string_view default_value) {
  std::optional<std::string> path = SideFilePath(key);
  std::optional<std::string> bytes;
  if (path) bytes = files_.ReadFile(*path);
  if (!bytes || bytes->empty()) return std::string(default_value);
  return std::move(*bytes);
}

}  // namespace keelnode
