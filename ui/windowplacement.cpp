#include "windowplacement.h"

#include <algorithm>

namespace sekato::ui {

namespace {

qint64 Area(const QRect& rect) {
  return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

/// `start` moved the least so that `length` from it lies within [low, low + room); `low`
/// when it cannot.
int Clamp(int start, int length, int low, int room) {
  if (length >= room) return low;
  return std::clamp(start, low, low + room - length);
}

}  // namespace

std::optional<QPoint> WindowPlacement::Fit(const QRect& frame,
                                           const QList<QRect>& availableAreas) {
  const QRect* best = nullptr;
  qint64 bestShare = 0;
  for (const QRect& area : availableAreas) {
    const qint64 share = Area(area.intersected(frame));
    if (share > bestShare) {
      bestShare = share;
      best = &area;
    }
  }
  if (best == nullptr) return std::nullopt;
  return QPoint(Clamp(frame.x(), frame.width(), best->x(), best->width()),
                Clamp(frame.y(), frame.height(), best->y(), best->height()));
}

}  // namespace sekato::ui
