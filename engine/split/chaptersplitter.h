#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "headingmatcher.h"
#include "numberingcheck.h"
#include "piecewriter.h"
#include "splitter.h"

namespace sekato::engine {

/// Cuts the source at chapter headings, `perFile` chapters a piece.
///
/// Piece 001 holds any text before the first heading and the first `perFile` chapters;
/// every later piece opens with heading number k × perFile (counted from 0). With title
/// names each piece, once closed, is named after the first heading in it:
/// "001_第一章 回忆.txt".
class ChapterSplitter final : public Splitter {
 public:
  /// `rules` are those of the run's text, for cleaning titles.
  ChapterSplitter(HeadingMatcher matcher, std::int64_t perFile, bool titleNames,
                  PieceWriter& writer, const TextRules& rules = TextRules::For(Encoding::Gbk));

  /// True when heading number `index` (from 1) opens a piece of its own: every
  /// `perFile`-th, but for the first, whose piece also holds the text before it. The chapter
  /// list counts pieces by this rule too. perFile 3: headings 4, 7, 10… open pieces.
  static bool OpensPiece(std::int64_t index, std::int64_t perFile) {
    return index > 1 && (index - 1) % perFile == 0;
  }
  /// The piece heading number `index` (from 1) goes into. perFile 3: heading 4 → piece 2.
  static std::int64_t PieceOf(std::int64_t index, std::int64_t perFile) {
    return (index - 1) / perFile + 1;
  }

  bool HandleLine(std::string_view line) override;

  /// Lines that hold no heading: see BodyNeedle.
  void HandleRun(std::string_view lines) override { m_writer.WriteLine(lines); }
  /// Lines without a heading never cut a piece.
  std::int64_t RunRoom() const override { return INT64_MAX; }

  /// Bytes every heading holds as it lies in the source, and the longest a heading is: a
  /// line without them, or longer, is surely body text (see HeadingMatcher).
  bool FindsHeadings() const override { return true; }
  const std::string& BodyNeedle() const override { return m_matcher.NeededBytes(); }
  std::int64_t LongestHeading() const override { return m_matcher.LongestHeading(); }

  /// A line too long to hold, in parts: longer than any heading can be, it is body text.
  bool HandlePart(std::string_view part, bool /*last*/) override {
    m_writer.WriteLine(part);
    return true;
  }

  /// Gives the last piece (already closed) its title name.
  void Finish() override;

  /// Headings found so far.
  std::int64_t Headings() const override { return m_nHeadings; }

  /// True when the chapter numbers of the headings so far miss or repeat a number.
  bool GapsOrRepeats() const override;

  /// When a heading rule gave up on a line (too much backtracking): the first such line.
  std::optional<Message> Warning() const override;

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
