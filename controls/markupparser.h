#pragma once

#include <string>
#include <string_view>

#include "markupsegment.h"

namespace sekato::controls {

class MarkupLabel;

/// Turns the label's bracket markup into segments, one byte at a time.
///
/// Recognised: "[url=T]text[/url]", "[url]T[/url]" (T is shown and is the target),
/// "[color=NAME]text[/color]", and CR LF anywhere (even inside a tag) as a line break. Tag
/// names are lower case and matched exactly. A tag once begun never falls back to text: bytes
/// that do not continue it are dropped until one does ("[uxyrl=" reads as "[url="), so an
/// unknown tag such as "[b]" swallows the text after it. The markup is UTF-8, whose multi-byte
/// characters are made only of bytes 0x80 and up: a Chinese character never reads as a bracket
/// or a tag letter, and a dropped byte can only be part of a tag. A link left open ends as plain
/// text; a target or colour name left open drops the rest.
class MarkupParser final {
 public:
  /// Parses into `label`, whose m_segments and m_strPlain must start empty; the markup ends at
  /// its first zero byte. "a\r\nb" gives "a", a line-break segment and "b"; m_strPlain "ab".
  static void Parse(std::string_view markup, MarkupLabel& label);

  /// The colour table, compared whole and byte-exact: "" gives `crText`, then red, blue, green,
  /// yellow, white, black, purple (RGB 128,0,255), gray, brown, tan, pink and syan. A name
  /// outside the table also gives `crText`: a misspelt colour reads as ordinary text.
  static MarkupColour ColourFromName(std::string name, MarkupColour crText);

 private:
  explicit MarkupParser(MarkupLabel& label) : m_label(label) {}

  void Step(char b);
  void Flush(const std::string& link);
  /// Appends a segment of `text` linked to `link`, in the current colour.
  void Append(const std::string& link, const std::string& text);

  MarkupLabel& m_label;
  std::string m_strCur;      ///< text of the run being collected
  std::string m_strUrl;      ///< target of the current link
  std::string m_strColName;  ///< current colour name
  int m_nState = 0;
};

}  // namespace sekato::controls
