// One run of the window: the settings store opened on the run directory's
// settings file, the main window with its state restored, the recovery
// copies of its texts, and what answers its events. Made in that order (the window restores from
// the open store) and gone in the reverse.
#pragma once

#include <string>
#include <vector>

#include "app/address_paste.h"
#include "app/launch_channel.h"
#include "app/recovery_copies.h"
#include "app/tab_data_files.h"
#include "app/window_session.h"
#include "settings/settings_store.h"
#include "viewer/main_window.h"

namespace keelnode {

class WindowProgram {
 public:
  // `dataDir` holds the settings and data files; the data files go through
  // `dataFiles`, which must outlive this object.
  WindowProgram(const std::string& dataDir, FileSystem& dataFiles);

  // Shows the window and fills its current tab; then loads each of `files`
  // ("-" is standard input) into the current tab and those after it. A
  // file that cannot be read is reported in a message box.
  void start(const std::vector<std::string>& files);
  // A later start's files: loaded as start() loads them, and the window
  // brought to the front. Returns a line for each file that could not be
  // read or whose tab was busy; the message boxes about them follow once
  // this has returned.
  std::vector<std::string> openHandedFiles(const std::vector<StartFile>& files);

  MainWindow& window() { return window_; }
  WindowSession& session() { return session_; }
  RecoveryCopies& recovery() { return recovery_; }
  AddressPaste& addressPaste() { return addressPaste_; }

 private:
  // A file that cannot be read (its name and the reason), or that was not
  // loaded because its tab was busy loading or fetching.
  struct Unreadable {
    std::string file;
    std::string reason;
    int busyTab = 0;
  };
  // Loads the files into the current tab and those after it.
  std::vector<Unreadable> loadFiles(const std::vector<StartFile>& files);
  static void warnAbout(const Unreadable& failure);

  SettingsStore store_;
  const bool writable_;
  TabDataFiles files_;
  RecoveryCopies recovery_;
  MainWindow window_;
  WindowSession session_;
  AddressPaste addressPaste_;
};

}  // namespace keelnode
