#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "headingdetector.h"
#include "linewalk.h"
#include "sekato/headingdetection.h"
#include "sekato/message.h"
#include "sekato/splithost.h"
#include "sekato/splitoptions.h"
#include "shortlinescan.h"

namespace sekato::engine {

/// Finds a book's chapter headings without being told how: one read-only pass over the
/// source in its own encoding, in which only the lines that can start a heading form are
/// converted and looked at (CandidateSieve, HeadingDetector). A large source read as it lies
/// is read in slices at once, on threads of their own, and what they found joined in order
/// (SurveySlice).
///
/// A split or chapter list with SplitOptions::autoDetect runs it first, then goes on by the
/// rule it found (Apply), through the same path as a --regex the user gives.
class HeadingSurvey final {
 public:
  enum class End { Done, Stopped, Refused, Failed };
  struct Result {
    End end = End::Done;
    Message message;  ///< why, for Refused and Failed
    HeadingDetection detection;
    Encoding sourceEncoding = Encoding::Gbk;
    std::int64_t sourceBytes = 0;
    std::int64_t lines = 0;
    /// Where the lines that may start a heading form stand, when the source was read as it
    /// lies and they were few enough to keep (see kMaxKept): no other line can be a heading
    /// by the rule found, so a chapter list by it need look at these only.
    struct Seen {
      std::int64_t line = 0;    ///< from 1
      std::int64_t offset = 0;  ///< of its first byte in the file
      std::int64_t size = 0;    ///< without its line break
      std::int64_t text = -1;   ///< where its bytes start in `seenText`; -1: not kept
    };
    std::vector<Seen> seen;
    std::string seenText;  ///< the bytes of the lines seen, while there is room
    bool allSeen = false;  ///< `seen` holds every such line
    /// The source was read as it lies and every line feed in it has a CR right before it:
    /// a split writes its line breaks as they are (see ShortLineScan::BareFeeds).
    bool crlfOnly = false;
  };
  /// The most lines Result::seen keeps (32 bytes each), and the most bytes of their text.
  static constexpr std::size_t kMaxKept = std::size_t{1} << 18;
  static constexpr std::size_t kMaxKeptText = std::size_t{1} << 22;

  /// Surveys the source of `options`; `host`, when given, hears the progress and may stop.
  /// A source read as it lies, of kOnePassBytes or more, is read in as many slices at once
  /// as there are processors (see SurveySlice::RunAll): the result is the same as from one
  /// pass. More slices than threads would spread the work better on a busy machine, but each
  /// holds what it found until all are joined: with four on two processors, the chapter
  /// list of a 200 MB book peaked 1.5 MB higher.
  /// Without `keepText` Result::seenText stays empty (a split needs only the lines).
  static Result Run(const SplitOptions& options, SplitHost* host, bool keepText = true);
  /// The same, a source read as it lies cut into slices at `cuts` (file offsets, anywhere in
  /// a line: each slice starts at the first line that starts at or after its cut); for the
  /// tests, which hold every way of cutting a book to one pass's answer.
  static Result RunCut(const SplitOptions& options, SplitHost* host,
                       const std::vector<std::int64_t>& cuts);

  static constexpr std::int64_t kOnePassBytes = std::int64_t{8} << 20;

  /// `options` set to split by what `found` found: its chapter rule, its volume rule, the
  /// contents block as preface, and a title limit that takes its longest heading.
  static void Apply(const HeadingDetection& found, SplitOptions& options);

 private:
  static Result Survey(const SplitOptions& options, SplitHost* host,
                       const std::vector<std::int64_t>* cuts, bool keepText);
  /// Reads a source whose bytes are its text, in slices at `cuts` (or as many as pay, when
  /// null) at once, into `detector` and `result`. False, with `result` saying why, when
  /// stopped or failed.
  static bool Sift(const SplitOptions& options, Encoding text, std::int64_t markBytes,
                   const std::vector<std::int64_t>* cuts, bool keepText, SplitHost* host,
                   HeadingDetector& detector, Result& result);
};

}  // namespace sekato::engine
