// The window's own settings, kept in section "keelnode" of the settings
// file, apart from the section "JSON树" whose bytes other programs share:
// the recent files and where the window was. Read when made (the place by
// restorePlacement), written by save() at close; a setting still at its
// default and never stored is not written, so a run that used none of them
// leaves the file as it was.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace keelnode {

class ProgramSettings {
 public:
  static constexpr size_t kMostRecentFiles = 10;

  // `store` must outlive this.
  explicit ProgramSettings(SettingsStore& store);

  // File-system paths, the newest first.
  const std::vector<std::string>& recentFiles() const { return recentFiles_; }
  // `path` (absolute) becomes the newest; the oldest beyond ten drop out.
  void noteOpened(const std::string& path);

  // Puts the window where it was at the last close, on a screen that is
  // there now (window_placement.h); before it is shown.
  void restorePlacement(QWidget& window);

  // Also takes the window's place (`window` may be null in tests).
  void save(const QWidget* window);

 private:
  void savePlacement(const QWidget& window);

  SettingsStore& store_;
  std::vector<std::string> recentFiles_;
  std::optional<QRect> firstPlace_;  // where it opened, when nothing was stored
};

}  // namespace keelnode
