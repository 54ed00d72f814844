#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headingforms.h"
#include "headingmatcher.h"
#include "headingrule.h"
#include "headingsurvey.h"
#include "numberingcheck.h"
#include "runencodings.h"
#include "sekato/encoding.h"
#include "sekato/message.h"
#include "sekato/scanresult.h"
#include "sekato/splithost.h"
#include "sekato/splitoptions.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"
#include "splitplan.h"

namespace sekato::engine {

class ByteSource;

/// One pass of the chapter list over a source, in the steps ChapterScan::Run names:
/// Prepare, then one of the three ways to read, then Finish; Result() is the list.
///
/// Example: a GBK book with 第1章 … 第300章 and `-p 100`: Prepare matches 第 章 in GBK, Read
/// sifts the lines holding 第 or the keyword, Finish closes the third piece at the book's end.
class ChapterListing final {
 public:
  explicit ChapterListing(const SplitOptions& options) : m_options(options), m_plan(options) {
    m_r.titleMax = options.titleMax;
  }

  ScanResult& Result() { return m_r; }
  /// Refuses what a split would refuse, finds the source's encoding and puts the keywords
  /// into the text the headings are matched in; false when the list ends here.
  bool Prepare(SplitHost* host);
  /// Reads the source and takes every line that may matter; false when stopped or failed.
  bool Read(SplitHost* host);
  /// Takes only the lines `seen` names, where they lie in the file: every other line of the
  /// source's `lines` is known to be no heading by the rule. False when failed.
  bool ReadSeen(const HeadingSurvey::Result& survey, SplitHost* host);
  /// ReadSeen with a rule: the lines are matched ahead on other threads (SeenLookahead).
  bool ReadSeenByRule(const HeadingSurvey::Result& survey, unsigned threads, SplitHost* host);
  /// Closes the last piece and sums up; `host`, if any, hears of lines a rule gave up on.
  void Finish(SplitHost* host);

  /// Where a piece starts in the source, and the title (in Result().textEncoding) it is
  /// named after under title names; empty while it holds no heading.
  struct PieceStart {
    std::int64_t offset = 0;
    std::string title;
  };
  /// Keeps every piece's start as the list goes (before reading), and lists no headings
  /// (Result().headings stays empty; their count and numbering are told): a split can then
  /// cut the book at them without looking for its headings again. -p 2 over 第1章 … 第3章
  /// after a preface: the pieces start at 0 and at 第3章's line. Titles are kept only under
  /// title names.
  void KeepPieces() { m_pieceStarts.assign(1, {}); }
  const std::vector<PieceStart>& Pieces() const { return m_pieceStarts; }
  /// What a rule gave up on, for a split to warn of as it ends.
  std::optional<Message> Warning() const;

 private:
  void End(ScanResult::Status status, Message message) {
    m_r.status = status;
    m_r.error = std::move(message);
  }
  /// One whole line as the split reads it, line m_r.lines, starting at source byte
  /// `lineOffset`; it may be cleaned in place.
  void TakeLine(char* data, std::size_t size, std::int64_t lineOffset);
  void TakeNearMiss(std::string_view line);
  /// `title`, when given, is the line's clean title, made already (on another thread: it is
  /// copied, so that what the list keeps is allocated here, where the survey's memory was
  /// given back).
  void TakeHeading(std::string_view line, std::int64_t lineOffset,
                   const std::string* title = nullptr);
  void TakeVolume(std::string_view line, std::int64_t lineOffset);
  void ClosePiece(std::int64_t end);
  /// Opens the source to learn its size; false (and the list failed) when it cannot.
  bool OpenSource(ByteSource& file);

  const SplitOptions& m_options;
  SplitPlan m_plan;
  ScanResult m_r;
  std::optional<RunEncodings> m_encodings;
  const TextRules* m_rules = nullptr;       ///< of the source's text
  const TextRules* m_matchRules = nullptr;  ///< of the text headings are matched in
  Encoding m_text = Encoding::Gbk;
  bool m_converts = false;  ///< lines are converted to be matched
  std::vector<std::string> m_textKeywords;
  std::optional<SourceDecoder> m_decoder;
  std::optional<HeadingMatcher> m_matcher;
  std::optional<HeadingMatcher> m_wide;  ///< without the title limit: tells near misses
  bool m_nearMisses = false;
  bool m_oneMatcher = false;
  bool m_byRule = false;                 ///< headings by a regular expression
  std::optional<HeadingRule> m_volumes;  ///< volume headings, with a rule
  bool m_opened = false;           ///< a volume heading opened the next chapter's piece already
  bool m_folders = false;          ///< each volume's pieces go into a folder of its own
  std::int64_t m_volumeCount = 0;  ///< volume headings passed
  std::int64_t m_base = 0;         ///< with folders: headings before the current volume
  std::string m_folder;  ///< with folders: "01_第一卷 风起/", once a volume is passed
  std::int64_t m_matchMax = 0;
  std::string m_converted;
  std::int64_t m_wideCount = 0;
  HeadingForms m_forms;
  NumberingCheck m_numbering;
  std::int64_t m_count = 0;       ///< headings found
  std::int64_t m_pieceStart = 0;  ///< offset where the current piece's text begins
  std::string m_pieceTitle;
  std::vector<PieceStart> m_pieceStarts;  ///< empty unless kept
};

}  // namespace sekato::engine
