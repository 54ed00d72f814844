#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headingmatcher.h"
#include "numberingcheck.h"
#include "piecewriter.h"
#include "sekato/chapterlist.h"
#include "sekato/chapterselection.h"
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

  /// Cuts before the lines of `list` (which must outlive the splitter, its lines checked
  /// ascending) instead of where the matcher finds headings; everything else, the pieces,
  /// their names and ends, stays as it is. A listed title names the piece in place of its
  /// heading line's text.
  void CutAtLines(const ChapterList& list);
  /// Writes only the chapters `chosen` of a list of `count` (the preface going with chapter
  /// 1); pieces keep the numbers they have in the full split, and one with no chosen
  /// chapter is not written. `joined`: every chosen chapter goes into the one file the
  /// writer's layout names, and no piece is cut.
  void Choose(const ChapterSelection& chosen, std::int64_t count, bool joined);

  /// Volume headings by `volumes` (see SplitOptions::volumeRegex): each opens the piece of
  /// the chapter after it when that chapter opens one, and lets the chapter numbers start
  /// again. Not with a list.
  void SetVolumes(HeadingRule volumes) { m_volumes.emplace(std::move(volumes)); }
  /// With volumes: each volume's pieces go into a folder of its own named after its heading
  /// (see PieceNamer::FolderName, PieceWriter::EnterFolder), and its heading line opens the
  /// volume's first piece. Pieces are counted on across the folders, and `perFile` chapters
  /// are counted from each volume's start, so no piece holds chapters of two volumes. The
  /// preface, and chapters before the first volume, go into the first folder.
  /// perFile 3, volume A of 4 chapters, volume B of 2: A holds 001 (A, 1–3) and 002 (4),
  /// B holds 003 (B, 1–2).
  void SetVolumeFolders(bool folders) { m_bFolders = folders; }
  /// No line before `line` (1-based) is a heading: the book's contents block is preface.
  void SetHeadingsFrom(std::int64_t line) { m_nHeadingsFrom = line; }
  /// Only the lines `lines` (1-based, ascending; they outlive the splitter) can be headings
  /// or volume headings, as detection found: the others go by as body text, in runs, without
  /// being matched. The pieces are those the rules alone give.
  void OnlyAtLines(const std::vector<std::int64_t>& lines) { m_pOnly = &lines; }

  bool HandleLine(std::string_view line) override;
  bool CutsAtLines(const std::int64_t* line) override {
    m_pLine = line;
    return m_pList != nullptr || m_nHeadingsFrom > 1 || m_pOnly != nullptr;
  }
  std::int64_t NextCut() const override {
    if (m_pList != nullptr) return m_nNextCut;
    if (m_pOnly != nullptr) {
      // The next line that may be a heading, after the line taken last.
      const auto next = std::upper_bound(m_pOnly->begin(), m_pOnly->end(), *m_pLine);
      return next == m_pOnly->end() ? INT64_MAX : *next;
    }
    return m_pLine != nullptr && *m_pLine < m_nHeadingsFrom ? m_nHeadingsFrom : INT64_MAX;
  }

  /// Lines that hold no heading: see BodyNeedle.
  void HandleRun(char* lines, std::size_t size) override { m_writer.WriteRun(lines, size); }
  /// Lines without a heading never cut a piece.
  std::int64_t RunRoom() const override { return INT64_MAX; }
  /// Pieces are cut at headings alone, whatever they hold.
  bool CutsBySize() const override { return false; }

  /// Bytes every heading holds as it lies in the source, and the longest a heading is: a
  /// line without them, or longer, is surely body text (see HeadingMatcher). Cutting at
  /// listed lines, runs end at those lines instead.
  bool FindsHeadings() const override { return m_pList == nullptr && m_pOnly == nullptr; }
  const std::string& BodyNeedle() const override {
    return m_volumes ? m_strNoNeedle : m_matcher.NeededBytes();
  }
  std::int64_t LongestHeading() const override {
    const std::int64_t longest = m_matcher.LongestHeading();
    return m_volumes ? std::max(longest, m_volumes->LongestHeading()) : longest;
  }

  /// A line too long to hold, in parts: longer than any heading can be, it is body text,
  /// unless the list names it.
  bool HandlePart(std::string_view part, bool last) override;

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
  /// True when the line at hand is a heading: listed (or a listed line before it was left
  /// out by clean-up), or found by the matcher.
  bool IsHeading(std::string_view line);
  /// Opens heading number m_nHeadings at `line`, cutting a piece there when it opens one.
  bool Cut(std::string_view line);
  /// A volume heading: opens the next chapter's piece here when that chapter opens one.
  bool Volume(std::string_view line);
  /// A volume heading under volume folders: opens the volume's folder and its first piece.
  bool VolumeFolder(std::string_view line);
  /// The title the piece opened by the current heading is named after.
  void NoteTitle(std::string_view line);
  /// Gives the closed piece its title name, when titles name pieces.
  void Rename();

  HeadingMatcher m_matcher;
  std::optional<HeadingRule> m_volumes;
  std::string m_strNoNeedle;  ///< with volumes, every short line must be looked at
  std::int64_t m_nHeadingsFrom = 0;
  bool m_bOpened = false;  ///< a volume heading opened the next chapter's piece already
  bool m_bFolders = false;
  std::int64_t m_nVolumes = 0;  ///< volume headings passed
  std::int64_t m_nBase = 0;     ///< with folders: headings before the current volume
  const std::vector<std::int64_t>* m_pOnly = nullptr;
  const ChapterList* m_pList = nullptr;
  const std::int64_t* m_pLine = nullptr;  ///< the pass's line number
  std::size_t m_nNextEntry = 0;
  std::int64_t m_nNextCut = INT64_MAX;
  bool m_bInPart = false;  ///< between the parts of a long line
  const ChapterSelection* m_pChosen = nullptr;
  std::int64_t m_nChapters = 0;
  bool m_bJoined = false;
  std::string m_strListedTitle;  ///< the title of the last listed line passed, in UTF-8
  bool m_bListedTitle = false;   ///< the current heading has a listed title
  std::int64_t m_nPerFile;
  bool m_bTitleNames;
  PieceWriter& m_writer;
  const TextRules& m_rules;
  std::int64_t m_nHeadings = 0;
  std::string m_strTitle;
  bool m_bPieceTitleListed = false;  ///< m_strTitle is a list's title, in UTF-8
  NumberingCheck m_numbering;        ///< only kinds are asked for, so lines are not counted
};

}  // namespace sekato::engine
