// One run of the window: the settings store opened on the run directory's
// settings file, the main window with its state restored, the recovery
// copies of its texts, and what answers its events. Made in that order (the window restores from
// the open store) and gone in the reverse.
#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>
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

  // Where Ctrl+O asks for the files to open: the file dialog, unless a test
  // puts something else here. No files: nothing is opened.
  using FileChooser = std::function<QStringList(QWidget& parent)>;
  void setFileChooser(FileChooser chooser) { chooseFiles_ = std::move(chooser); }

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
    int errorNumber = 0;       // errno; EFBIG: too large for the memory left
    uint64_t fileBytes = 0;    // with EFBIG: the file's size,
    uint64_t largestText = 0;  // and the largest text a load could take
  };
  // Loads the files into the current tab and those after it; those that
  // arrive become the newest recent files.
  std::vector<Unreadable> loadFiles(const std::vector<StartFile>& files);
  // Files the window asked for (open, recent, drop), with a message box
  // about each one that did not arrive.
  void openFromWindow(const QStringList& paths);
  void showRecentFiles();
  static void warnAbout(const Unreadable& failure);

  SettingsStore store_;
  const bool writable_;
  TabDataFiles files_;
  RecoveryCopies recovery_;
  MainWindow window_;
  WindowSession session_;
  AddressPaste addressPaste_;
  FileChooser chooseFiles_;
};

}  // namespace keelnode
