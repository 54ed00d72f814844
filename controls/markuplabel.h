#pragma once

#include <cstdint>
#include <string>

#include "markupsegment.h"

namespace sekato::controls {

/// The markup label's own state, free of any window system: the markup, its segments, the
/// colours and the pointer flags. The parser fills it, the layout and the pointer handlers
/// (MarkupLayout, MarkupPointer) read and update it, and CMarkupStatic shows it on screen.
///
/// Markup and texts are UTF-8; every length, position and comparison is in bytes.
class MarkupLabel final {
 public:
  /// Style bits of the static control that the label honours.
  static constexpr std::uint32_t kSsCenter = 0x0001;
  static constexpr std::uint32_t kSsRight = 0x0002;
  static constexpr std::uint32_t kSsNotify = 0x0100;
  static constexpr std::uint32_t kSsCenterImage = 0x0200;

  /// Every segment, whatever it is, while the label is disabled.
  static constexpr MarkupColour kDisabledColour = MarkupRgb(192, 192, 192);

  /// Rebuilds m_segments and m_strPlain from m_strMarkup. Every flag and rectangle starts over.
  /// "[url=T]abc[/url]" gives one segment "abc" linked to "T"; m_strPlain is "abc".
  void ParseMarkup();

  /// The colour a [color=NAME] tag gives: "" gives m_crText, "red" 0x0000FF, and so on
  /// through the table of MarkupParser. A name outside the table gives m_crText too.
  MarkupColour ColourFromName(std::string name) const;

  /// The colour `segment` is drawn in: visited, hot or plain link colour for a link, its named
  /// colour otherwise, and grey for everything while the label is disabled.
  MarkupColour SegmentColour(const MarkupSegment& segment, bool enabled) const;

  /// x at which a line of estimated width `width` starts in a client `clientWidth` wide:
  /// centred (kSsCenter), right-aligned (kSsRight) or at 0, and at 0 whenever it is wider.
  /// Centred, Align(30, 100) == 35.
  int Align(int width, int clientWidth) const;

  MarkupSegmentList m_segments;

  const MarkupColour m_crText = MarkupRgb(0, 0, 0);
  const MarkupColour m_crLink = MarkupRgb(0, 0, 255);
  const MarkupColour m_crVisited = MarkupRgb(128, 0, 128);
  const MarkupColour m_crHover = MarkupRgb(125, 125, 0);

  std::string m_strMarkup;  ///< the markup being shown
  std::string m_strLink;    ///< target of the link being opened
  std::string m_strPlain;   ///< every segment text joined, without tags and line breaks

  const int m_bUnderlineLinks = 1;  ///< link pieces are drawn underlined
  std::uint32_t m_dwStyle = 0;      ///< the static control's style as found at attach
  int m_bOverLink = 0;              ///< 1 while some link piece holds the pointer capture
};

}  // namespace sekato::controls
