#include "app/window_session.h"

#include <QString>
#include <cmath>
#include <limits>

#include "app/input_text.h"
#include "app/program_messages.h"
#include "settings/control_state.h"
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
                             bool saveOnClose)
    : window_(window), store_(store), files_(files), saveOnClose_(saveOnClose) {
  store_.SetMessageHook(ShowStoreMessage);
  connect(&window_, &MainWindow::firstActivated, this, [this] {
    if (window_.currentTabNumber() == 1) fillCurrentTab();
  });
  connect(&window_, &MainWindow::tabChanged, this, [this] { fillCurrentTab(); });
  connect(&window_, &MainWindow::closing, this, [this] { save(); });
  if (!saveOnClose_) window_.setWindowTitle(window_.windowTitle() + QStringLiteral("（只读）"));
  restore();
}

void WindowSession::restore() {
  PersistWindowControls(store_, window_, true, ControlOptions(window_));
  const double page = store_.ReadNumber(ProgramText("选择夹"), window_.currentTabNumber() - 1);
  window_.setCurrentTabNumber(ToIndex(page, -1) + 1);
  window_.applyIconSet();
  window_.applyTopmost();
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
  const double item = touched(tabNumber) ? (current < 0 ? 0 : current) : store_.ReadNumber(key, 0);
  store_.WriteNumber(key, item);
}

void WindowSession::save() {
  if (closed_) return;
  closed_ = true;
  if (!saveOnClose_) return;
  PersistWindowControls(store_, window_, false, ControlOptions(window_));

  std::string unsaved;
  for (int tab = 1; tab <= MainWindow::kTabCount; ++tab) {
    TabFile& file = tabFiles_[tab - 1];
    const std::string& text = window_.rawText(tab);
    if (!touched(tab) || (file.read && text == file.text)) continue;
    if (files_.write(tab, text)) {
      file = {true, text};
    } else {
      unsaved += "\r\n" + InputBytesToText(files_.path(tab));
    }
  }

  store_.SetSection(Section());
  store_.WriteNumber(ProgramText("选择夹"), window_.currentTabNumber() - 1);
  for (int tab = 1; tab <= MainWindow::kTabCount; ++tab)
    saveSelection(tab);
  // Nothing more is written in this run: let another instance have the file.
  store_.Close();

  if (!unsaved.empty()) {
    ShowWarning(ProgramText("以下数据文件未能保存，仍是原来的内容：") + unsaved);
  }
}

}  // namespace keelnode
