// What ties the main window to its files: restoring its state when it is
// made, filling a tab from its data file the first time the tab is shown,
// and saving the control states, the tab texts and the selections when the
// window closes. All that goes to section "JSON树" of the settings file;
// what the window adds beyond it goes to a section of its own
// (program_settings.h).
//
// A tab whose data file was not read in this run and that received no
// text keeps its file untouched at close, and the file of a tab whose text
// is still what the file held is not rewritten.
//
// Between start and close every tab text that its data file does not hold
// is kept as a recovery copy (recovery_copies.h); a start after an unclean
// exit puts the newer copies back into their tabs, and a clean close, once
// the data files hold the texts, removes them.
#pragma once

#include <QObject>
#include <array>
#include <string>
#include <vector>

#include "app/program_settings.h"
#include "app/recovery_copies.h"
#include "app/tab_data_files.h"
#include "settings/settings_store.h"
#include "viewer/main_window.h"

class QLabel;

namespace keelnode {

class WindowSession : public QObject {
  Q_OBJECT
 public:
  // Restores the window's state at once, recovered texts included; the
  // window has just been made. Without `saveOnClose` (the settings file is another instance's, or
  // cannot be written) the close saves nothing and no recovery copy is
  // kept or used, so this instance cannot overwrite what another one keeps.
  // `store`, `files` and `recovery` must outlive this.
  WindowSession(MainWindow& window, SettingsStore& store, const TabDataFiles& files,
                RecoveryCopies& recovery, bool saveOnClose);

  // Fills the current tab from its data file if that was not read yet and
  // the tab is empty, then refreshes the selection display.
  void fillCurrentTab();
  // The save at close; runs once, whatever closes the window how often.
  void save();
  bool savesOnClose() const { return saveOnClose_; }
  // The window's own settings (section "keelnode"), saved with the rest.
  ProgramSettings& programSettings() { return programSettings_; }
  // The line that tells of recovered texts (the window owns it); nothing
  // when there was none.
  QLabel* notice() const { return notice_; }

 private:
  // What is known of a tab's data file.
  struct TabFile {
    bool read = false;
    std::string text;  // as read, or as last written
  };

  void restore();
  // Puts the texts that an unclean exit left unsaved back into their tabs,
  // saying so on standard error and in the window.
  void recoverUnsavedTexts();
  std::string selectionKey(int tabNumber) const;
  void saveSelection(int tabNumber);
  // The tab received a text in this run (from its file or otherwise).
  bool touched(int tabNumber) const;
  void keepRecoveryCopy(int tabNumber);
  void markReadOnly();
  void showNotice(const QString& text);

  MainWindow& window_;
  SettingsStore& store_;
  const TabDataFiles& files_;
  RecoveryCopies& recovery_;
  const bool saveOnClose_;
  bool closed_ = false;
  int recovering_ = 0;  // the tab a recovered text is being loaded into
  std::array<TabFile, MainWindow::kTabCount> tabFiles_;
  ProgramSettings programSettings_;
  QLabel* notice_ = nullptr;
};

}  // namespace keelnode
