#include "markuplabel.h"

#include <utility>

#include "markupparser.h"

namespace sekato::controls {

void MarkupLabel::ParseMarkup() {
  m_strPlain.clear();
  m_segments.clear();
  // Nothing holds the pointer any more: the pieces that did are gone.
  m_bOverLink = 0;
  MarkupParser::Parse(m_strMarkup, *this);
}

MarkupColour MarkupLabel::ColourFromName(std::string name) const {
  return MarkupParser::ColourFromName(std::move(name), m_crText);
}

MarkupColour MarkupLabel::SegmentColour(const MarkupSegment& segment, bool enabled) const {
  if (!enabled) return kDisabledColour;
  if (!segment.IsLink()) return segment.crText;
  if (segment.bVisited == 1) return m_crVisited;
  if (segment.bHot == 1) return m_crHover;
  return m_crLink;
}

int MarkupLabel::Align(int width, int clientWidth) const {
  if (m_dwStyle & kSsCenter) return width > clientWidth ? 0 : (clientWidth - width) / 2;
  if (m_dwStyle & kSsRight) return width > clientWidth ? 0 : clientWidth - width;
  return 0;
}

}  // namespace sekato::controls
