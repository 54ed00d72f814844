#pragma once

#include <cstdint>
#include <list>
#include <string>

namespace sekato::controls {

/// A colour laid out 0x00BBGGRR, the way the label's colour table writes them.
using MarkupColour = std::uint32_t;

/// MarkupRgb(0, 0, 255) == 0xFF0000 (blue).
constexpr MarkupColour MarkupRgb(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
constexpr unsigned MarkupRed(MarkupColour colour) { return colour & 0xFFu; }
constexpr unsigned MarkupGreen(MarkupColour colour) { return (colour >> 8) & 0xFFu; }
constexpr unsigned MarkupBlue(MarkupColour colour) { return (colour >> 16) & 0xFFu; }

/// Width and height of measured text, in pixels.
struct MarkupSize {
  int cx = 0;
  int cy = 0;
};

/// A point in the label's client coordinates.
struct MarkupPoint {
  int x = 0;
  int y = 0;
};

/// A rectangle in client pixels; right and bottom lie just outside it.
struct MarkupRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  /// Inside when left <= x < right and top <= y < bottom, so an empty rectangle holds nothing.
  bool Contains(MarkupPoint p) const {
    return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
  }
  bool operator==(const MarkupRect&) const = default;
};

/// One run of text drawn in one look: plain text in a named colour, a piece of a link, or a
/// line break (text exactly CR LF).
struct MarkupSegment {
  int bHasCapture = 0;      ///< 1 while this link piece holds the pointer capture.
  int bVisited = 0;         ///< 1 once its link has been opened from this label.
  int bHot = 0;             ///< 1 while the pointer is over its link.
  MarkupColour crText = 0;  ///< named colour; used only for plain text.
  std::string strLink;      ///< link target (UTF-8); empty for plain text.
  std::string strText;      ///< visible text (UTF-8).
  MarkupRect rcText;        ///< where it was last drawn; all zero until painted.

  bool IsLink() const { return !strLink.empty(); }
  bool IsLineBreak() const { return strText == "\r\n"; }
};

/// The label's segments in display order. A list, because painting inserts the remainder of a
/// wrapped segment right after it while walking, and link runs are walked both ways.
using MarkupSegmentList = std::list<MarkupSegment>;

}  // namespace sekato::controls
