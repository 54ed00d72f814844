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

std::array<BalloonPoint, 3> BalloonGeometry::Stem() const {
  const BalloonPoint point = StemPoint();
  const int top = m_nBodyHeight - kStemInsetY;
  return {BalloonPoint{point.x, top}, point, BalloonPoint{point.x - kStemWidth, top}};
}

BalloonPoint BalloonGeometry::StemPoint() const {
  return {m_nBodyWidth - kStemInsetX, m_nBodyHeight + kStemDrop};
}

BalloonPoint BalloonGeometry::TopLeftFor(BalloonPoint anchor) const {
  const BalloonPoint stem = StemPoint();
  return {anchor.x - stem.x, anchor.y - stem.y};
}

BalloonPoint BalloonGeometry::TextOrigin() const {
  return {kMarginX + (m_bIcon ? m_cxIcon + kIconGap : 0), kMarginY};
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
  return rows;
}

}  // namespace sekato::controls
