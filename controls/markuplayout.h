#pragma once

#include <string_view>

#include "markupsegment.h"

namespace sekato::controls {

class MarkupCanvas;
class MarkupLabel;

/// Lays the label's segments out left to right and draws them: a line ends at a line-break
/// segment (the next text starts at x 0 whatever the alignment) or where a segment no longer
/// fits, which then moves whole to the next line or is split in two there. The remainder of a
/// split is inserted after it in the list and stays there, so the next paint at the same width
/// gives the same lines while the first character of every piece fits the width. Splits fall
/// between UTF-8 characters, never inside one.
class MarkupLayout final {
 public:
  /// Paints every segment into a client area of `clientWidth` × `clientHeight` and records
  /// each one's rectangle in rcText. With kSsCenterImage the block is centred vertically on
  /// its estimated height, which may start it above the top (y < 0).
  static void Paint(MarkupLabel& label, MarkupCanvas& canvas, int clientWidth, int clientHeight,
                    bool enabled);

  /// Estimated height of the text block: the single line height `lineHeight` when the whole
  /// text (`textWidth`) fits in `clientWidth`; otherwise with q = textWidth / clientWidth,
  /// trunc((1.5 q + 1) × lineHeight), allowing for the half-empty lines wrapping leaves.
  /// A client of no width gives one line. EstimateHeight(250, 16, 100) == 64.
  static int EstimateHeight(int textWidth, int lineHeight, int clientWidth);

  /// y of the next line below a line at `y` of height `cy`: trunc(y + cy + 0.5), which is
  /// y + cy, or one pixel more while that is still above the top. NextLine(-30, 16) == -13.
  static int NextLine(int y, int cy);

  /// Length in bytes of the longest prefix of `text` that ends between UTF-8 characters and
  /// measures narrower than `room`; 0 when not even the first character does. A prefix never
  /// ends in front of a continuation byte (10xxxxxx), so "中" (E4 B8 AD) and U+20000
  /// (F0 A0 80 80) go whole; a stray continuation byte goes with the byte before it.
  static std::size_t FittingPrefix(MarkupCanvas& canvas, std::string_view text, int room);
};

}  // namespace sekato::controls
