#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace keelnode {
namespace {

// How much of the top edge must be on a screen to take hold of the window.
constexpr int kGripWidth = 100;
constexpr int kGripHeight = 16;
constexpr int kTitleHeight = 32;
// Where a window that lost its screen goes, from the primary's corner: the
// design's place on a screen.
constexpr int kFallbackOffset = 50;

bool TopEdgeOn(const QRect& frame, const QRect& area) {
  const QRect grip = QRect(frame.x(), frame.y(), frame.width(), kTitleHeight).intersected(area);
  return grip.width() >= std::min(kGripWidth, frame.width()) && grip.height() >= kGripHeight;
}

int Fit(int length, int room, int minimum) {
  return std::max(std::min(length, room), minimum);
}

}  // namespace

QRect PlaceOnScreens(const QRect& saved, const std::vector<QRect>& areas, QSize minimum) {
  if (areas.empty()) return saved;
  for (const QRect& area : areas) {
    if (!TopEdgeOn(saved, area)) continue;
    const QSize size(Fit(saved.width(), area.width(), minimum.width()),
                     Fit(saved.height(), area.height(), minimum.height()));
    if (size == saved.size()) return saved;
    // Made smaller to fit the screen: then also moved onto it.
    const int x = std::max(area.x(), std::min(saved.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.y(), std::min(saved.y(), area.bottom() + 1 - size.height()));
    return {QPoint(x, y), size};
  }
  const QRect& primary = areas.front();
  const QSize size(Fit(saved.width(), primary.width(), minimum.width()),
                   Fit(saved.height(), primary.height(), minimum.height()));
  const int x = primary.x() + std::clamp(primary.width() - size.width(), 0, kFallbackOffset);
  const int y = primary.y() + std::clamp(primary.height() - size.height(), 0, kFallbackOffset);
  return {QPoint(x, y), size};
}

QRect PlaceOnCurrentScreens(const QRect& saved, QSize minimum) {
  std::vector<QRect> areas;
  if (QScreen* primary = QGuiApplication::primaryScreen())
    areas.push_back(primary->availableGeometry());
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != QGuiApplication::primaryScreen()) areas.push_back(screen->availableGeometry());
  }
  return PlaceOnScreens(saved, areas, minimum);
}

}  // namespace keelnode
