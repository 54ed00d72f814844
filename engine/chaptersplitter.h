#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "headingmatcher.h"
#include "numberingcheck.h"
#include "piecewriter.h"

namespace sekato::engine {

/// Cuts the source at chapter headings, `perFile` chapters a piece.
///
/// Piece 001 holds any text before the first heading and the first `perFile` chapters;
/// every later piece opens with heading number k × perFile (counted from 0). With title
/// names each piece, once closed, is named after the first heading in it:
/// "001_第一章 回忆.txt".
class ChapterSplitter final {
 public:
  /// `rules` are those of the run's text, for cleaning titles.
  ChapterSplitter(HeadingMatcher matcher, std::int64_t perFile, bool titleNames,
                  PieceWriter& writer, const TextRules& rules = TextRules::For(Encoding::Gbk));

  /// Writes one kept line (its line break already written); false when a piece could not be
  /// closed or opened.
  bool HandleLine(std::string_view line);

  /// Lines that hold no heading, with the line breaks between them (the break before the
  /// first already written): what HandleLine does with each of them. See BodyNeedle.
  void HandleRun(std::string_view lines) { m_writer.WriteLine(lines); }

  /// Bytes every heading holds as it lies in the source, and the longest a heading is: a
  /// line without them, or longer, is surely body text (see HeadingMatcher).
  const std::string& BodyNeedle() const { return m_matcher.NeededBytes(); }
  std::int64_t LongestHeading() const { return m_matcher.LongestHeading(); }

  /// A line too long to hold, in parts: longer than any heading can be, it is body text.
  void HandlePart(std::string_view part) { m_writer.WriteLine(part); }

  /// At the end of a completed run: gives the last piece (already closed) its title name.
  void RenameLast();

  /// Headings found so far.
  std::int64_t Headings() const { return m_nHeadings; }

  /// True when the chapter numbers of the headings so far miss or repeat a number.
  bool GapsOrRepeats() const;

  /// A heading as a title: full-width spaces removed anywhere, white space trimmed.
  static std::string CleanTitle(std::string_view heading, const TextRules& rules);

 private:
  HeadingMatcher m_matcher;
  std::int64_t m_nPerFile;
  bool m_bTitleNames;
  PieceWriter& m_writer;
  const TextRules& m_rules;
  std::int64_t m_nHeadings = 0;
  std::string m_strTitle;
  NumberingCheck m_numbering;  ///< only kinds are asked for, so lines are not counted
};

}  // namespace sekato::engine
