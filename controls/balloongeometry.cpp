#include "balloongeometry.h"

#include <algorithm>
#include <cmath>

namespace sekato::controls {

BalloonGeometry::BalloonGeometry(BalloonSize text, std::optional<BalloonSize> icon)
    : m_bIcon(icon.has_value()),
      m_cxIcon(icon ? icon->cx : 0),
      m_nBodyWidth(text.cx + 2 * kMarginX),
      m_nBodyHeight(text.cy + 2 * kMarginY) {
  if (icon) {
    m_nBodyWidth += icon->cx + kIconGap;
    m_nBodyHeight = std::max(m_nBodyHeight, icon->cy);
  }
}

BalloonSize BalloonGeometry::MeasureText(std::string_view text,
                                         const std::function<int(std::string_view)>& lineWidth,
                                         int lineHeight) {
  int widest = 0;
  int lines = 0;
  for (;;) {
    const std::size_t end = text.find('\n');
    widest = std::max(widest, lineWidth(text.substr(0, end)));
    ++lines;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return {widest, lines * lineHeight};
}

BalloonSize BalloonGeometry::WindowSize() const {
  return {m_nBodyWidth, m_nBodyHeight + kBelowBody};
}

BalloonPoint BalloonGeometry::Turned(BalloonPoint plain) const {
  const BalloonSize window = WindowSize();
  if (m_orientation.stemLeft) plain.x = window.cx - 1 - plain.x;
  if (m_orientation.stemUp) plain.y = window.cy - 1 - plain.y;
  return plain;
}

std::array<BalloonPoint, 3> BalloonGeometry::Stem() const {
  const BalloonPoint point{m_nBodyWidth - kStemInsetX, m_nBodyHeight + kStemDrop};
  const int top = m_nBodyHeight - kStemInsetY;
  return {Turned({point.x, top}), Turned(point), Turned({point.x - kStemWidth, top})};
}

BalloonPoint BalloonGeometry::StemPoint() const {
  return Turned({m_nBodyWidth - kStemInsetX, m_nBodyHeight + kStemDrop});
}

BalloonGeometry::Placement BalloonGeometry::Place(BalloonPoint anchor, BalloonRect area) const {
  BalloonGeometry turned = *this;
  turned.SetOrientation({});
  Placement placement{turned.TopLeftFor(anchor), {}};
  if (area.IsEmpty()) return placement;
  const BalloonSize window = WindowSize();
  const int right = area.x + area.width;
  const int bottom = area.y + area.height;
  // Turned down when the top runs off and there is more room below the anchor than above.
  placement.orientation.stemUp =
      placement.topLeft.y < area.y && bottom - anchor.y > anchor.y - area.y;
  placement.orientation.stemLeft =
      placement.topLeft.x < area.x && right - anchor.x > anchor.x - area.x;
  turned.SetOrientation(placement.orientation);
  placement.topLeft = turned.TopLeftFor(anchor);
  // What still does not fit is moved, the right and bottom edges giving way last.
  const auto clamp = [](int at, int size, int low, int high) {
    return size >= high - low ? low : std::clamp(at, low, high - size);
  };
  placement.topLeft.x = clamp(placement.topLeft.x, window.cx, area.x, right);
  // The rows beyond the stem's point are outside the shape: only the shape must fit. Turned
  // up, they are the window's first 10.
  const int skipped = placement.orientation.stemUp ? kBelowBody - kStemDrop : 0;
  const int shapeHeight = m_nBodyHeight + kStemDrop;
  placement.topLeft.y = clamp(placement.topLeft.y + skipped, shapeHeight, area.y, bottom) - skipped;
  return placement;
}

BalloonPoint BalloonGeometry::TopLeftFor(BalloonPoint anchor) const {
  const BalloonPoint stem = StemPoint();
  return {anchor.x - stem.x, anchor.y - stem.y};
}

BalloonPoint BalloonGeometry::TextOrigin() const {
  return {kMarginX + (m_bIcon ? m_cxIcon + kIconGap : 0), kMarginY + BodyTop()};
}

int BalloonGeometry::CornerInset(int y) const {
  // The corner ellipse is 12 × 10: semi-axes 6 and 5. Each row is cut where the ellipse
  // crosses the row's middle, rounded to the nearest pixel: 3, 2, 1, 0, 0 from the edge in.
  constexpr double a = kCornerWidth / 2.0;
  constexpr double b = kCornerHeight / 2.0;
  const double middle = y + 0.5;
  const double fromTop = b - middle;
  const double fromBottom = middle - (m_nBodyHeight - b);
  const double dy = std::max(fromTop, fromBottom);
  if (dy <= 0.0) return 0;
  const double ratio = std::min(dy / b, 1.0);
  const double inset = a - a * std::sqrt(1.0 - ratio * ratio);
  return static_cast<int>(std::lround(inset));
}

std::vector<BalloonSpan> BalloonGeometry::Region() const {
  const int width = m_nBodyWidth;
  const int stemTop = m_nBodyHeight - kStemInsetY;
  const int stemBottom = m_nBodyHeight + kStemDrop;  // exclusive: the point itself is outside
  const int stemRight = width - kStemInsetX;
  std::vector<BalloonSpan> rows;
  rows.reserve(static_cast<std::size_t>(stemBottom));
  for (int y = 0; y < stemBottom; ++y) {
    int left = width;
    int right = 0;
    if (y < m_nBodyHeight) {
      const int inset = CornerInset(y);
      left = inset;
      right = width - inset;
    }
    if (y >= stemTop) {
      // The stem's slanted edge runs from (W − 37, H − 10) down to its point at 45 degrees.
      left = std::min(left, stemRight - kStemWidth + (y - stemTop));
      right = std::max(right, stemRight);
    }
    left = std::max(left, 0);
    right = std::min(right, width);
    if (left < right) rows.push_back({y, left, right});
  }
  // Turned, the rows are mirrored: across the window's height, and each across its width.
  const int height = WindowSize().cy;
  for (BalloonSpan& row : rows) {
    if (m_orientation.stemLeft) row = {row.y, width - row.right, width - row.left};
    if (m_orientation.stemUp) row.y = height - 1 - row.y;
  }
  if (m_orientation.stemUp) std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace sekato::controls
