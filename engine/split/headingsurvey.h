#pragma once

#include <cstdint>

#include "sekato/headingdetection.h"
#include "sekato/message.h"
#include "sekato/splithost.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

/// Finds a book's chapter headings without being told how: one read-only pass over the
/// source in its own encoding, in which only the lines that can start a heading form are
/// converted and looked at (CandidateSieve, HeadingDetector).
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
  };

  /// Surveys the source of `options`; `host`, when given, hears the progress and may stop.
  static Result Run(const SplitOptions& options, SplitHost* host);

  /// `options` set to split by what `found` found: its chapter rule, its volume rule, the
  /// contents block as preface, and a title limit that takes its longest heading.
  static void Apply(const HeadingDetection& found, SplitOptions& options);
};

}  // namespace sekato::engine
