#include "app/program_settings.h"

#include <QFile>
#include <algorithm>

#include "viewer/program_text.h"

namespace keelnode {
namespace {

constexpr std::string_view kSection = "keelnode";

std::string RecentKey(size_t k) {
  return ProgramText("最近文件") + std::to_string(k + 1);
}

// Paths are stored as text in the file's code page, like every value.
std::string PathAsText(const std::string& path) {
  return FromQString(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string TextAsPath(const std::string& text) {
  return QFile::encodeName(ToQString(text)).toStdString();
}

}  // namespace

ProgramSettings::ProgramSettings(SettingsStore& store) : store_(store) {
  for (size_t k = 0; k < kMostRecentFiles; ++k) {
    const std::optional<std::string> text = store_.LookUp(kSection, RecentKey(k));
    if (!text || text->empty()) continue;
    const std::string path = TextAsPath(*text);
    if (std::find(recentFiles_.begin(), recentFiles_.end(), path) == recentFiles_.end())
      recentFiles_.push_back(path);
  }
}

void ProgramSettings::noteOpened(const std::string& path) {
  std::erase(recentFiles_, path);
  recentFiles_.insert(recentFiles_.begin(), path);
  if (recentFiles_.size() > kMostRecentFiles) recentFiles_.resize(kMostRecentFiles);
}

void ProgramSettings::save() {
  const std::string previous = store_.section();
  store_.SetSection(kSection);
  // From the last to the first: each new key goes to the section's top, so
  // a first save lists them in order.
  for (size_t k = kMostRecentFiles; k-- > 0;) {
    const std::string key = RecentKey(k);
    if (k < recentFiles_.size()) {
      store_.WriteText(key, PathAsText(recentFiles_[k]));
    } else if (store_.LookUp(kSection, key)) {
      store_.DeleteEntry(kSection, key);
    }
  }
  store_.SetSection(previous);
}

}  // namespace keelnode
