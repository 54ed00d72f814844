#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sekato/message.h"

namespace sekato::engine {

/// Where a run cuts the source into pieces: at chapter headings (ChapterSplitter) or by size
/// (SizeSplitter, also for even parts). The split pass reads, cleans and hands over the text;
/// the splitter writes it through the run's writer and closes and opens pieces where its
/// rule says. The pass never asks which splitter it has.
///
/// Every kept line comes through HandleLine, or with others through HandleRun when the pass
/// knows the run is plain (see RunRoom and BodyNeedle); a line too long to hold comes in
/// parts through HandlePart, after StartLongLine when the splitter measures long lines.
class Splitter {
 public:
  virtual ~Splitter() = default;

  /// Writes one kept line (its line break already written); false when a piece could not be
  /// closed or opened.
  virtual bool HandleLine(std::string_view line) = 0;
  /// A part of a line too long to hold (`last` on its final part), ending at a character
  /// boundary; false as HandleLine.
  virtual bool HandlePart(std::string_view part, bool last) = 0;
  /// Lines taken at once, with the line breaks between them (the break before the first
  /// already written): what HandleLine would do with each of them, given to the writer's
  /// WriteRun, which cleans them up where the pass asked it to (see PieceWriter::CleanRuns).
  virtual void HandleRun(char* lines, std::size_t size) = 0;

  /// The most bytes of lines, with the breaks between them, that a run may hold and still be
  /// handled as HandleRun does once a line break is written: negative when none may come.
  virtual std::int64_t RunRoom() const = 0;
  /// True when where the splitter cuts depends on how many bytes a piece holds (see
  /// PieceWriter::Count), false when it asks only whether a piece holds any.
  virtual bool CutsBySize() const { return true; }
  /// True when the splitter cuts at headings: only lines surely not one may then go in a
  /// run. BodyNeedle holds bytes every heading holds as it lies in the source, and
  /// LongestHeading the longest a heading is.
  virtual bool FindsHeadings() const { return false; }
  virtual const std::string& BodyNeedle() const;
  virtual std::int64_t LongestHeading() const { return 0; }

  /// How far a long line must be measured ahead before it is placed, or nothing when the
  /// splitter does not measure long lines. A line longer than this is placed as one just
  /// over it would be; below 0, any line is.
  virtual std::optional<std::int64_t> LongLineRoom() const { return std::nullopt; }
  /// A long line of `length` bytes (as measured, at most LongLineRoom() + 1) is about to
  /// come in parts; false as HandleLine.
  virtual bool StartLongLine(std::int64_t /*length*/) { return true; }

  /// True when the splitter cuts before given line numbers rather than at lines it
  /// recognises (see ChapterSplitter::CutAtLines). The pass then keeps the number of the
  /// line at hand (from 1, as on disk) where `line` points, and ends every run of lines
  /// before NextCut.
  virtual bool CutsAtLines(const std::int64_t* /*line*/) { return false; }
  virtual std::int64_t NextCut() const { return INT64_MAX; }

  /// The run has read the whole source and closed the last piece.
  virtual void Finish() {}
  /// Chapter headings found; -1 when the splitter does not look for them.
  virtual std::int64_t Headings() const { return -1; }
  /// True when the chapter numbers of the headings miss or repeat a number.
  virtual bool GapsOrRepeats() const { return false; }
  /// Something the user should know about the whole run once it ends, said once.
  virtual std::optional<Message> Warning() const { return std::nullopt; }
};

}  // namespace sekato::engine
