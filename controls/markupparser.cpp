#include "markupparser.h"

#include <array>
#include <utility>

#include "markuplabel.h"

namespace sekato::controls {

namespace {

// States of the tag reader: 0 text, 1 "[", 2-4 "[u".."[url", 11 "[/", 12-14 "[/u".."[/url",
// 21-25 "[c".."[color", 31-35 "[/c".."[/color", 50 link target, 60 bare link, 70 colour name.
constexpr int kText = 0;
constexpr int kOpen = 1;
constexpr int kUrlTag = 4;
constexpr int kCloseUrlTag = 14;
constexpr int kColorTag = 25;
constexpr int kCloseColorTag = 35;
constexpr int kTarget = 50;
constexpr int kBareLink = 60;
constexpr int kColourName = 70;

// Bytes that only move a partly read tag on; everything else they see is dropped.
struct TagStep {
  int nState;
  char b;
  int nNext;
};
constexpr std::array<TagStep, 17> kTagSteps{{
    {1, 'u', 2},
    {1, 'c', 21},
    {1, '/', 11},
    {2, 'r', 3},
    {3, 'l', 4},
    {11, 'u', 12},
    {11, 'c', 31},
    {12, 'r', 13},
    {13, 'l', 14},
    {21, 'o', 22},
    {22, 'l', 23},
    {23, 'o', 24},
    {24, 'r', 25},
    {31, 'o', 32},
    {32, 'l', 33},
    {33, 'o', 34},
    {34, 'r', 35},
}};

struct NamedColour {
  const char* pszName;
  MarkupColour cr;
};
constexpr std::array<NamedColour, 12> kColours{{
    {"red", MarkupRgb(255, 0, 0)},
    {"blue", MarkupRgb(0, 0, 255)},
    {"green", MarkupRgb(0, 255, 0)},
    {"yellow", MarkupRgb(255, 255, 0)},
    {"white", MarkupRgb(255, 255, 255)},
    {"black", MarkupRgb(0, 0, 0)},
    {"purple", MarkupRgb(128, 0, 255)},
    {"gray", MarkupRgb(192, 192, 192)},
    {"brown", MarkupRgb(128, 42, 42)},
    {"tan", MarkupRgb(160, 82, 45)},
    {"pink", MarkupRgb(255, 192, 203)},
    {"syan", MarkupRgb(0, 255, 255)},
}};

}  // namespace

void MarkupParser::Parse(std::string_view markup, MarkupLabel& label) {
  MarkupParser parser(label);
  std::size_t i = 0;
  while (i < markup.size() && markup[i] != '\0') {
    // A line break wins in every state, even in the middle of a tag or a target.
    if (markup[i] == '\r' && i + 1 < markup.size() && markup[i + 1] == '\n') {
      parser.Flush(parser.m_strUrl);
      parser.Append(parser.m_strUrl, "\r\n");
      i += 2;
      continue;
    }
    parser.Step(markup[i]);
    ++i;
  }
  parser.Flush(std::string());
}

MarkupColour MarkupParser::ColourFromName(std::string name, MarkupColour crText) {
  if (name.empty()) return crText;
  for (const NamedColour& entry : kColours) {
    if (name == entry.pszName) return entry.cr;
  }
  return crText;
}

void MarkupParser::Step(char b) {
  switch (m_nState) {
    case kText:
    case kBareLink:
      if (b == '[') {
        m_nState = kOpen;  // a bare link's text so far stays both shown text and target
      } else {
        if (m_nState == kBareLink) m_strUrl += b;
        m_strCur += b;
      }
      return;
    case kUrlTag:
      if (b == '=' || b == ']') {
        Flush(std::string());
        m_strUrl.clear();
        m_nState = b == '=' ? kTarget : kBareLink;
      }
      return;
    case kCloseUrlTag:
      if (b == ']') {
        Flush(m_strUrl);
        m_strUrl.clear();
        m_nState = kText;
      }
      return;
    case kColorTag:
    case kCloseColorTag:
      if ((m_nState == kColorTag && b == '=') || (m_nState == kCloseColorTag && b == ']')) {
        Flush(m_strUrl);
        m_strColName.clear();
        m_nState = m_nState == kColorTag ? kColourName : kText;
      }
      return;
    case kTarget:
    case kColourName:
      if (b == ']') {
        m_nState = kText;  // a colour name stays current until the next colour tag
      } else {
        (m_nState == kTarget ? m_strUrl : m_strColName) += b;
      }
      return;
    default:
      for (const TagStep& step : kTagSteps) {
        if (step.nState == m_nState && step.b == b) {
          m_nState = step.nNext;
          return;
        }
      }
      return;  // not the tag's next letter: dropped
  }
}

void MarkupParser::Flush(const std::string& link) {
  if (m_strCur.empty()) return;
  Append(link, m_strCur);
  m_label.m_strPlain += m_strCur;
  m_strCur.clear();
}

void MarkupParser::Append(const std::string& link, const std::string& text) {
  MarkupSegment segment;
  segment.crText = m_label.ColourFromName(m_strColName);
  segment.strLink = link;
  segment.strText = text;
  m_label.m_segments.push_back(std::move(segment));
}

}  // namespace sekato::controls
