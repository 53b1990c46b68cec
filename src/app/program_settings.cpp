#include "app/program_settings.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/window_placement.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

constexpr std::string_view kSection = "keelnode";

// The window's frame position, its client size, and whether it was
// maximised (the place and size are then those it returns to).
const char* const kPlaceKeys[] = {"窗口左边", "窗口顶边", "窗口宽度", "窗口高度"};
const char kMaximisedKey[] = "窗口最大化";

// Coordinates a screen can have; nothing for other numbers.
std::optional<int> Coordinate(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e6) return std::nullopt;
  return static_cast<int>(value);
}

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
  const std::string previous = store_.section();
  store_.SetSection(kSection);
  for (size_t k = 0; k < kMostRecentFiles; ++k) {
    const std::string text = store_.ReadText(RecentKey(k));
    if (text.empty()) continue;
    const std::string path = TextAsPath(text);
    if (std::find(recentFiles_.begin(), recentFiles_.end(), path) == recentFiles_.end())
      recentFiles_.push_back(path);
  }
  store_.SetSection(previous);
}

void ProgramSettings::noteOpened(const std::string& path) {
  std::erase(recentFiles_, path);
  recentFiles_.insert(recentFiles_.begin(), path);
  if (recentFiles_.size() > kMostRecentFiles) recentFiles_.resize(kMostRecentFiles);
}

void ProgramSettings::restorePlacement(QWidget& window) {
  const std::string previous = store_.section();
  store_.SetSection(kSection);
  const QRect now(window.pos(), window.size());
  const int defaults[] = {now.x(), now.y(), now.width(), now.height()};
  std::optional<int> values[4];
  bool stored = false;
  for (int k = 0; k < 4; ++k) {
    const std::string key = ProgramText(kPlaceKeys[k]);
    stored = stored || store_.LookUp(kSection, key).has_value();
    values[k] = Coordinate(store_.ReadNumber(key, defaults[k]));
  }
  const bool maximised = store_.ReadFlag(ProgramText(kMaximisedKey), false);
  store_.SetSection(previous);
  // Nothing stored: the design's place, made to fit a screen smaller than it.
  QRect saved(values[0].value_or(now.x()), values[1].value_or(now.y()),
              values[2].value_or(now.width()), values[3].value_or(now.height()));
  if (saved.width() <= 0 || saved.height() <= 0) saved.setSize(now.size());
  const QRect placed = PlaceOnCurrentScreens(saved, window.minimumSize());
  window.move(placed.topLeft());
  window.resize(placed.size());
  if (!stored) firstPlace_ = placed;
  if (maximised) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void ProgramSettings::save(const QWidget* window) {
  const std::string previous = store_.section();
  store_.SetSection(kSection);
  if (window != nullptr) savePlacement(*window);
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

void ProgramSettings::savePlacement(const QWidget& window) {
  const bool maximised = window.isMaximized() || window.isFullScreen();
  // A maximised window keeps the place it goes back to.
  QRect place(window.pos(), window.size());
  if (maximised) {
    const QPoint frame = window.geometry().topLeft() - window.pos();
    place = QRect(window.normalGeometry().topLeft() - frame, window.normalGeometry().size());
  }
  const int values[] = {place.x(), place.y(), place.width(), place.height()};
  // Not written while the window is where it opened without a stored
  // place: a run that never moved it leaves the file alone.
  const bool atFirstPlace = !maximised && firstPlace_ && place == *firstPlace_;
  bool stored = store_.LookUp(kSection, ProgramText(kMaximisedKey)).has_value();
  for (const char* key : kPlaceKeys)
    stored = stored || store_.LookUp(kSection, ProgramText(key)).has_value();
  if (atFirstPlace && !stored) return;
  store_.WriteFlag(ProgramText(kMaximisedKey), maximised);
  for (int k = 4; k-- > 0;)
    store_.WriteNumber(ProgramText(kPlaceKeys[k]), values[k]);
}

}  // namespace keelnode
