#include "app/window_session.h"

#include <QString>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/input_text.h"
#include "app/notice_line.h"
#include "app/program_messages.h"
#include "settings/controls/control_state.h"
#include "viewer/json_tree_view.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

const std::string& Section() {
  static const std::string section = ProgramText("JSON树");
  return section;
}

// A stored number as an index, truncated toward zero; `fallback` for what
// no int can hold (an edited file may say anything).
int ToIndex(double value, int fallback) {
  if (!std::isfinite(value) || value <= std::numeric_limits<int>::min() - 1.0 ||
      value >= std::numeric_limits<int>::max() + 1.0) {
    return fallback;
  }
  return static_cast<int>(value);
}

PersistOptions ControlOptions(const MainWindow& window) {
  PersistOptions options;
  options.section = Section();
  options.controls = window.controlOrder();
  return options;
}

}  // namespace

WindowSession::WindowSession(MainWindow& window, SettingsStore& store, const TabDataFiles& files,
                             RecoveryCopies& recovery, bool saveOnClose)
    : window_(window),
      store_(store),
      files_(files),
      recovery_(recovery),
      saveOnClose_(saveOnClose),
      programSettings_(store) {
  store_.SetMessageHook(ShowStoreMessage);
  connect(&window_, &MainWindow::firstActivated, this, [this] {
    if (window_.currentTabNumber() == 1) fillCurrentTab();
  });
  connect(&window_, &MainWindow::tabChanged, this, [this] { fillCurrentTab(); });
  connect(&window_, &MainWindow::tabLoaded, this, [this](int tab) { keepRecoveryCopy(tab); });
  connect(&window_, &MainWindow::closing, this, [this] { save(); });
  if (saveOnClose_) {
    // Holding the settings file, this is the only instance that writes
    // here: what a killed writer left is nobody's work in progress.
    files_.removeLeftovers();
    recovery_.removeLeftovers();
  } else {
    markReadOnly();
  }
  restore();
}

void WindowSession::markReadOnly() {
  const QString mark = QStringLiteral("（只读）");
  if (!window_.windowTitle().endsWith(mark)) window_.setWindowTitle(window_.windowTitle() + mark);
}

void WindowSession::showNotice(const QString& text) {
  // Owned by the window, like its other controls.
  notice_ = new NoticeLine(text, window_.findChild<QTabWidget*>(QStringLiteral("选择夹")));
}

void WindowSession::recoverUnsavedTexts() {
  if (!saveOnClose_) return;
  const std::vector<RecoveryCopies::Recovered> found = recovery_.findNewer(files_);
  if (found.empty()) return;
  QStringList tabs;
  std::string numbers;
  for (const RecoveryCopies::Recovered& copy : found) {
    std::string text = copy.text;
    recovering_ = copy.tabNumber;
    // A text too large to show now is still kept, so the close saves it.
    if (!window_.loadTab(text, true, copy.tabNumber, 0, false))
      window_.setRawText(copy.tabNumber, copy.text);
    recovering_ = 0;
    tabs << window_.findChild<QTabWidget*>(QStringLiteral("选择夹"))
                ->tabText(copy.tabNumber - 1)
                .trimmed();
    numbers += (numbers.empty() ? "" : ", ") + std::to_string(copy.tabNumber);
  }
  const bool one = found.size() == 1;
  std::fprintf(stderr, "keelnode: the last run ended without saving; %s %s got back %s from %s\n",
               one ? "tab" : "tabs", numbers.c_str(),
               one ? "its unsaved text" : "their unsaved texts", recovery_.folder().c_str());
  showNotice(QStringLiteral("上次未正常退出，已恢复未保存的内容：") +
             tabs.join(QStringLiteral("、")));
}

void WindowSession::keepRecoveryCopy(int tabNumber) {
  // The recovered text's copy is the one it came from.
  if (!saveOnClose_ || closed_ || tabNumber == recovering_) return;
  const TabFile& file = tabFiles_[tabNumber - 1];
  std::shared_ptr<const std::string> text = window_.tree(tabNumber)->sharedRawText();
  if (file.read && *text == file.text) {
    recovery_.drop(tabNumber);
  } else {
    recovery_.keep(tabNumber, std::move(text));
  }
}

void WindowSession::restore() {
  PersistWindowControls(store_, window_, true, ControlOptions(window_));
  // With the parsing options restored, and before a tab is filled from its
  // data file: that would count the copy as done with.
  recoverUnsavedTexts();
  const double page = store_.ReadNumber(ProgramText("选择夹"), window_.currentTabNumber() - 1);
  window_.setCurrentTabNumber(ToIndex(page, -1) + 1);
  window_.applyIconSet();
  window_.applyTopmost();
  programSettings_.restorePlacement(window_);
}

std::string WindowSession::selectionKey(int tabNumber) const {
  return FromQString(window_.tree(tabNumber)->objectName()) + ProgramText(".现行选中项");
}

bool WindowSession::touched(int tabNumber) const {
  return tabFiles_[tabNumber - 1].read || window_.tree(tabNumber)->itemCount() > 0;
}

void WindowSession::fillCurrentTab() {
  const int tab = window_.currentTabNumber();
  TabFile& file = tabFiles_[tab - 1];
  if (!file.read && window_.tree(tab)->itemCount() == 0) {
    file.read = true;
    file.text = files_.read(tab);
    window_.setRawText(tab, file.text);
    if (!file.text.empty()) {
      store_.SetSection(Section());
      const int item = ToIndex(store_.ReadNumber(selectionKey(tab), 0), 0);
      std::string text = file.text;
      window_.loadTab(text, true, tab, item, true);
    }
  }
  window_.showSelection(false);
}

void WindowSession::saveSelection(int tabNumber) {
  const std::string key = selectionKey(tabNumber);
  // A tab that held nothing in this run keeps what was stored for it.
  const int current = window_.currentItem(tabNumber);
  // A tree with items but no current one saves -1, so the next start selects
  // nothing rather than the root, whose value is the whole document. An
  // empty tree keeps 0, as it always has.
  const bool noneChosen = current < 0 && window_.tree(tabNumber)->itemCount() > 0;
  const double item =
      touched(tabNumber) ? (noneChosen ? -1 : std::max(current, 0)) : store_.ReadNumber(key, 0);
  store_.WriteNumber(key, item);
}

void WindowSession::save() {
  if (closed_) return;
  closed_ = true;
  if (!saveOnClose_) return;
  // The copies hold every text until the data files do.
  recovery_.finish();
  PersistWindowControls(store_, window_, false, ControlOptions(window_));

  std::string unsaved;
  std::vector<int> unsavedTabs;
  for (int tab = 1; tab <= MainWindow::kTabCount; ++tab) {
    TabFile& file = tabFiles_[tab - 1];
    const std::string& text = window_.rawText(tab);
    if (!touched(tab) || (file.read && text == file.text)) continue;
    if (files_.write(tab, text)) {
      file = {true, text};
    } else {
      unsaved += "\r\n" + InputBytesToText(files_.path(tab));
      // The next start puts it back from there.
      recovery_.keepNow(tab, text);
      unsavedTabs.push_back(tab);
    }
  }
  recovery_.removeAllBut(unsavedTabs);

  store_.SetSection(Section());
  store_.WriteNumber(ProgramText("选择夹"), window_.currentTabNumber() - 1);
  for (int tab = 1; tab <= MainWindow::kTabCount; ++tab)
    saveSelection(tab);
  programSettings_.save(&window_);
  const bool settingsSaved = !store_.SaveFailed();
  // Nothing more is written in this run: let another instance have the file.
  store_.Close();

  if (!settingsSaved) {
    markReadOnly();
    std::fprintf(stderr,
                 "keelnode: the settings file %s could not be written; settings not saved\n",
                 store_.GetConfiguredPath().c_str());
  }
  std::string warning;
  if (!unsaved.empty()) warning = ProgramText("以下数据文件未能保存，仍是原来的内容：") + unsaved;
  if (!settingsSaved) {
    if (!warning.empty()) warning += "\r\n\r\n";
    warning +=
        ProgramText("设置未能保存：") + "\r\n" + InputBytesToText(store_.GetConfiguredPath());
  }
  if (!warning.empty()) ShowWarning(warning);
}

}  // namespace keelnode
