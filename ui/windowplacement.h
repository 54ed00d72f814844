#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

namespace sekato::ui {

/// Where a remembered window goes back to, given the screens there are now. A screen may have
/// been unplugged, or the resolution lowered, since the window closed: the window must come
/// back whole on a screen, with its title bar reachable, never beyond the desktop.
class WindowPlacement final {
 public:
  /// The top-left of `frame` (the window's outer rectangle at its remembered place) moved
  /// the least so that it lies inside the available area of the screen that holds most of
  /// it, or unset when no screen holds any of it (the caller then centres the window).
  /// A frame larger than the area keeps its top-left corner on the area's.
  /// Example: frame 500×400 at (1800, 900) on a 1920×1080 screen → (1420, 680).
  static std::optional<QPoint> Fit(const QRect& frame, const QList<QRect>& availableAreas);
};

}  // namespace sekato::ui
