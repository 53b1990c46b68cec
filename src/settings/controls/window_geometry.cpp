#include "settings/controls/window_geometry.h"

#include <cmath>
#include <optional>
#include <string>

#include "settings/controls/control_texts.h"

namespace keelnode {
namespace {

enum WindowStateNumber { kNormal = 0, kMinimised = 1, kMaximised = 2, kFullScreen = 3 };

int StateNumber(Qt::WindowStates states) {
  if (states & Qt::WindowMinimized) return kMinimised;
  if (states & Qt::WindowFullScreen) return kFullScreen;
  if (states & Qt::WindowMaximized) return kMaximised;
  return kNormal;
}

// Sets the geometry section for the object's lifetime, then puts the
// caller's section back.
class SectionScope {
 public:
  SectionScope(SettingsStore& store, std::string_view name)
      : store_(store), saved_(store.section()) {
    std::string section(name.empty() ? control_text::kMainWindow : name);
    store.SetSection(section + std::string(control_text::kSizeSuffix));
  }
  ~SectionScope() { store_.SetSection(saved_); }
  SectionScope(const SectionScope&) = delete;
  SectionScope& operator=(const SectionScope&) = delete;

 private:
  SettingsStore& store_;
  std::string saved_;
};

// Coordinates a screen can have; nothing for other numbers.
std::optional<int> Coordinate(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e6) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

void SaveWindowGeometry(SettingsStore& store, const QWidget& window, std::string_view name) {
  SectionScope scope(store, name);
  const int state = StateNumber(window.windowState());
  store.WriteNumber(control_text::kState, state);
  if (state != kNormal) return;
  store.WriteNumber(control_text::kLeft, window.x());
  store.WriteNumber(control_text::kTop, window.y());
  store.WriteNumber(control_text::kWidth, window.width());
  store.WriteNumber(control_text::kHeight, window.height());
}

void RestoreWindowGeometry(SettingsStore& store, QWidget& window, std::string_view name) {
  SectionScope scope(store, name);
  const std::optional<int> state =
      Coordinate(store.ReadNumber(control_text::kState, StateNumber(window.windowState())));
  switch (state.value_or(-1)) {
    case kNormal:
      window.setWindowState(window.windowState() &
                            ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
      break;
    case kMinimised:
      window.setWindowState(window.windowState() | Qt::WindowMinimized);
      break;
    case kMaximised:
      window.setWindowState((window.windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
      break;
    case kFullScreen:
      window.setWindowState(window.windowState() | Qt::WindowFullScreen);
      break;
    default:
      break;  // not a state: leave it
  }
  std::optional<int> left = Coordinate(store.ReadNumber(control_text::kLeft, window.x()));
  std::optional<int> top = Coordinate(store.ReadNumber(control_text::kTop, window.y()));
  std::optional<int> width = Coordinate(store.ReadNumber(control_text::kWidth, window.width()));
  std::optional<int> height = Coordinate(store.ReadNumber(control_text::kHeight, window.height()));
  if (left && top) window.move(*left, *top);
  if (width && height && *width > 0 && *height > 0) window.resize(*width, *height);
}

}  // namespace keelnode
