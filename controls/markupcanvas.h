#pragma once

#include <string_view>

#include "markupsegment.h"

namespace sekato::controls {

/// What laying out and drawing the label needs from a window system: measuring and drawing
/// UTF-8 text in the label's font. CMarkupStatic draws with Qt; tests measure with a fake.
class MarkupCanvas {
 public:
  virtual ~MarkupCanvas() = default;

  /// Selects the label's own font, underlined when `underline` (the font's own underline
  /// otherwise stays as it is). Later calls measure and draw with it.
  virtual void SelectFont(bool underline) = 0;
  virtual void SetTextColour(MarkupColour colour) = 0;
  /// Width and height of `text`; the height is the line height. The two bytes of a line break
  /// measure as the line height and no particular width.
  virtual MarkupSize Extent(std::string_view text) = 0;
  /// Draws `text` with its top-left corner at (x, y), clipped to the client area.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
};

}  // namespace sekato::controls
