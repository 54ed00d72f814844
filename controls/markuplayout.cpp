#include "markuplayout.h"

#include <cmath>
#include <iterator>

#include "markupcanvas.h"
#include "markuplabel.h"

namespace sekato::controls {

namespace {

// Draws `segment` at the pen and records where it went; returns its drawn width.
int DrawAt(MarkupCanvas& canvas, MarkupSegment& segment, int x, int y) {
  canvas.TextOut(x, y, segment.strText);
  const MarkupSize drawn = canvas.Extent(segment.strText);
  segment.rcText = MarkupRect{x, y, x + drawn.cx, y + drawn.cy};
  return drawn.cx;
}

// A UTF-8 byte 10xxxxxx continues the character begun before it.
bool ContinuesCharacter(char b) { return (static_cast<unsigned char>(b) & 0xC0u) == 0x80u; }

}  // namespace

int MarkupLayout::EstimateHeight(int textWidth, int lineHeight, int clientWidth) {
  if (clientWidth <= 0 || textWidth <= clientWidth) return lineHeight;
  const int q = textWidth / clientWidth;
  return static_cast<int>((q * 0.5 + q + 1.0) * lineHeight);
}

int MarkupLayout::NextLine(int y, int cy) { return static_cast<int>(std::trunc(y + cy + 0.5)); }

std::size_t MarkupLayout::FittingPrefix(MarkupCanvas& canvas, std::string_view text, int room) {
  std::size_t fitting = 0;
  std::size_t end = 0;
  while (end < text.size()) {
    ++end;
    while (end < text.size() && ContinuesCharacter(text[end])) ++end;
    if (canvas.Extent(text.substr(0, end)).cx >= room) break;
    fitting = end;
  }
  return fitting;
}

void MarkupLayout::Paint(MarkupLabel& label, MarkupCanvas& canvas, int clientWidth,
                         int clientHeight, bool enabled) {
  const int W = clientWidth;
  canvas.SelectFont(false);
  const MarkupSize all = canvas.Extent(label.m_strPlain);
  const int H = EstimateHeight(all.cx, all.cy, W);

  int y = (label.m_dwStyle & MarkupLabel::kSsCenterImage) ? (clientHeight - H) / 2 : 0;
  int remaining = all.cx;
  int x = label.Align(remaining, W);

  auto& segments = label.m_segments;
  for (auto posPaint = segments.begin(); posPaint != segments.end(); ++posPaint) {
    MarkupSegment& segment = *posPaint;
    canvas.SelectFont(segment.IsLink() && label.m_bUnderlineLinks != 0);
    canvas.SetTextColour(label.SegmentColour(segment, enabled));
    const MarkupSize extent = canvas.Extent(segment.strText);

    if (segment.IsLineBreak()) {
      y = NextLine(y, extent.cy);
      x = 0;
    }
    if (x + extent.cx <= W) {
      x += DrawAt(canvas, segment, x, y);
      continue;
    }

    const std::size_t k = FittingPrefix(canvas, segment.strText, W - x);
    if (k == 0) {
      // Not even one character fits after what the line holds: the whole segment starts
      // the next line, drawn clipped if it is wider than the label.
      y = NextLine(y, extent.cy);
      remaining -= x;
      x = label.Align(remaining, W);
      x += DrawAt(canvas, segment, x, y);
      continue;
    }

    // Split: the remainder becomes the next segment and is laid out from the next line.
    MarkupSegment segSplit = segment;
    segSplit.strText.erase(0, k);
    segment.strText.resize(k);
    segments.insert(std::next(posPaint), std::move(segSplit));
    const int drawn = DrawAt(canvas, segment, x, y);
    y = NextLine(y, segment.rcText.bottom - segment.rcText.top);
    remaining -= x + drawn;
    x = label.Align(remaining, W);
  }
}

}  // namespace sekato::controls
