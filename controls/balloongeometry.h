#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace sekato::controls {

/// A point in pixels: window-local (origin at the tip's top-left corner) or on the screen.
struct BalloonPoint {
  int x = 0;
  int y = 0;
  bool operator==(const BalloonPoint&) const = default;
};

/// A width and a height in pixels.
struct BalloonSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const BalloonSize&) const = default;
};

/// A rectangle in screen pixels: the area a tip must stay in. An empty one sets no bounds.
struct BalloonRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool operator==(const BalloonRect&) const = default;
};

/// One row of the balloon's shape: the pixels (x, y) with left <= x < right.
struct BalloonSpan {
  int y = 0;
  int left = 0;
  int right = 0;
  bool operator==(const BalloonSpan&) const = default;
};

/// The shape and size of the tip for one text extent and icon. The body is a rectangle with
/// rounded corners, text and icon inside a 12 px margin left and right and 10 px above and
/// below; the stem hangs from the body's lower right, and its point is where the tip touches
/// the mouse pointer. The window is 10 px taller than the stem reaches.
///
/// Example: text 200 × 26, no icon: body 224 × 46, window 224 × 71, stem (212, 36),
/// (212, 61), (187, 36); for the pointer at (500, 400) the window goes to (288, 339).
///
/// Near a screen edge the tip turns (see Place): the stem may hang from the body's top
/// instead, the body below the anchor, and from its left instead, the body right of it. The
/// turned shape is the plain one mirrored, pixel for pixel; text and icon keep their places
/// in the body.
class BalloonGeometry final {
 public:
  /// Which way the tip is turned.
  struct Orientation {
    bool stemUp = false;    ///< the stem rises from the body's top; the body is below
    bool stemLeft = false;  ///< the stem is at the body's left; the body is right of it
    bool operator==(const Orientation&) const = default;
  };
  /// Where a tip goes and which way it is turned.
  struct Placement {
    BalloonPoint topLeft;
    Orientation orientation;
    bool operator==(const Placement&) const = default;
  };

  /// Margin between the body's left or right edge and the text or icon.
  static constexpr int kMarginX = 12;
  /// Margin between the body's top or bottom edge and the text.
  static constexpr int kMarginY = 10;
  /// Gap between the icon and the text.
  static constexpr int kIconGap = 5;
  /// Width and height of the ellipse that rounds each corner of the body.
  static constexpr int kCornerWidth = 12;
  static constexpr int kCornerHeight = 10;
  /// Distance of the stem's vertical edge from the body's right edge, and of its top edge
  /// above the body's bottom edge.
  static constexpr int kStemInsetX = 12;
  static constexpr int kStemInsetY = 10;
  /// Length of the stem's top edge and how far its point reaches below the body.
  static constexpr int kStemWidth = 25;
  static constexpr int kStemDrop = 15;
  /// Window rows below the body: the stem's drop and 10 rows that stay outside the shape.
  static constexpr int kBelowBody = 25;

  /// `text` is the extent of the text (widest line × all lines); `icon` the icon's size, or
  /// nothing when the tip has no icon. An icon widens the body by its width plus 5 px and
  /// makes it at least as tall as itself (the icon gets no margin of its own).
  BalloonGeometry(BalloonSize text, std::optional<BalloonSize> icon);

  /// Extent of `text` whose lines end at each line feed (nothing is wrapped): the widest
  /// line as `lineWidth` measures it, and the line count times `lineHeight`. Every line feed
  /// starts a line, so "a\n" is two lines and "" is one empty line.
  static BalloonSize MeasureText(std::string_view text,
                                 const std::function<int(std::string_view)>& lineWidth,
                                 int lineHeight);

  /// Turns the tip; the plain orientation has the stem at the lower right.
  void SetOrientation(Orientation orientation) { m_orientation = orientation; }
  Orientation GetOrientation() const { return m_orientation; }

  /// Where the tip for `anchor` goes inside `area` (the screen's available area): turned
  /// down when it would leave the area at the top, turned right when it would leave it at
  /// the left, so the stem stays on the anchor. Only a tip larger than the room on its side
  /// is moved as well, to the area's edge (its stem then misses the anchor). An empty area
  /// leaves the tip as TopLeftFor places it.
  /// Example: window 224 × 71 (text 200 × 26), anchor (100, 30) on 1024 × 768: plain it
  /// would go to (−112, −31); turned, its stem's point is at (11, 9) and it goes to (89, 21).
  /// An anchor within 11 px of the left edge cannot be met: the window stops at the edge.
  Placement Place(BalloonPoint anchor, BalloonRect area) const;

  /// Body width W and height H.
  int BodyWidth() const { return m_nBodyWidth; }
  int BodyHeight() const { return m_nBodyHeight; }
  /// The window: W × (H + 25).
  BalloonSize WindowSize() const;

  /// The stem's vertices in window coordinates: (W − 12, H − 10), (W − 12, H + 15),
  /// (W − 37, H − 10). The left one lies at a negative x when W < 37.
  std::array<BalloonPoint, 3> Stem() const;
  /// The stem's point, (W − 12, H + 15): the pixel the tip touches, itself outside the shape.
  BalloonPoint StemPoint() const;
  /// Screen position of the window's top-left corner that puts the stem's point on `anchor`.
  /// Nothing keeps the window on the screen: an anchor near the top-left screen edge puts
  /// the tip partly off it.
  BalloonPoint TopLeftFor(BalloonPoint anchor) const;

  /// Where the icon's top-left corner goes: (12, 10), 25 lower when the stem is up.
  BalloonPoint IconOrigin() const { return {kMarginX, kMarginY + BodyTop()}; }
  /// Where the text's top-left corner goes: (12, 10), or right of the icon and its gap.
  BalloonPoint TextOrigin() const;

  /// The balloon's shape: the body with its rounded corners united with the stem, one span
  /// per row from top to bottom, cut to the window (a stem reaching left of x = 0 is cut
  /// there). Bounds are exclusive, so the stem narrows to the single pixel (W − 13, H + 14)
  /// just above and left of its point.
  std::vector<BalloonSpan> Region() const;

 private:
  /// Pixels cut from each end of body row `y` by the rounded corners.
  int CornerInset(int y) const;
  /// The first window row of the body: 0, or 25 when the stem is up.
  int BodyTop() const { return m_orientation.stemUp ? kBelowBody : 0; }
  /// A window pixel of the plain shape where the orientation puts it.
  BalloonPoint Turned(BalloonPoint plain) const;

  Orientation m_orientation;

  bool m_bIcon;
  int m_cxIcon;
  int m_nBodyWidth;
  int m_nBodyHeight;
};

}  // namespace sekato::controls
