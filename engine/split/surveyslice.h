#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "candidatesieve.h"
#include "headingdetector.h"
#include "sekato/encoding.h"
#include "sekato/splithost.h"
#include "shortlinescan.h"
#include "textconverter.h"

namespace sekato::engine {

/// One stretch of a book that heading detection reads on a thread of its own: the lines
/// that start in it (ShortLineScan::Limit) go through the sieve into a detector of its own,
/// and the places of those that may start a heading are kept. HeadingSurvey joins the
/// slices of a book in order (HeadingDetector::Append), line numbers shifted by the lines
/// of the slices before, so the book is decided as if read in one pass.
///
/// Example: a 200 MB book read as [0, 100 MB) and [100 MB, 200 MB): the second slice starts
/// at the first line that starts at or after 100 MB, and numbers it 1.
class SurveySlice final {
 public:
  /// What the slices of one book share. The counts bound what all of them keep together,
  /// as one pass over the book would.
  struct Shared {
    Shared(Encoding textEncoding, std::int64_t titleMax);
    Encoding text;
    std::int64_t titleMax;
    CandidateSieve sieve;
    ShortLineScan::Openers openers;  ///< the sieve's, so that the scan turns body text away
    std::size_t maxKept = 0;         ///< the most places kept; past it none are
    std::size_t maxKeptText = 0;     ///< the most bytes of their text kept
    std::atomic<std::size_t> kept{0};
    std::atomic<std::size_t> keptText{0};
    /// More places came than maxKept: no slice keeps any.
    bool Overflowed() const { return kept.load(std::memory_order_relaxed) > maxKept; }
  };
  /// Where a line that may start a heading stands (see HeadingSurvey::Result::Seen).
  struct Seen {
    std::int64_t line = 0;
    std::int64_t offset = 0;
    std::int64_t size = 0;
    std::int64_t text = -1;  ///< into Text(); -1: not kept
  };

  /// The host hears how far the slices have come together at least this often.
  static constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

  explicit SurveySlice(Shared& shared);

  /// Runs every slice, on Threads() threads at once (the caller's takes the first, then each
  /// thread the next not yet taken), and returns how each ended. `host` hears the progress
  /// (bytes read past `start`, the first slice's) and may stop, on the calling thread alone:
  /// while the others read on after its own slices are done, it waits and keeps telling it.
  /// A slice that fails stops the others.
  static std::vector<ShortLineScan::End> RunAll(
      const std::vector<std::unique_ptr<SurveySlice>>& slices, std::int64_t start, SplitHost* host);
  /// The threads slices run on: one a processor, kMaxThreads at most.
  static unsigned Threads();
  /// Each thread costs memory of its own (a heap, which the passes after do not use again):
  /// with four, the chapter list of a 200 MB book peaked at 18.9 MB, with two at 14.1 MB,
  /// as with one.
  static constexpr unsigned kMaxThreads = 2;

  /// Opens `path` to read after its `markBytes`; false with the system's reason in `error`.
  bool Open(const std::string& path, std::int64_t markBytes, std::string& error);
  std::int64_t Length() const { return m_scan.Length(); }
  /// The slice holds the lines that start in [from, to) of the file (the whole file unless
  /// told).
  void Cover(std::int64_t from, std::int64_t to);
  std::int64_t From() const { return m_nFrom; }

  /// Reads the slice; `keepGoing` is told the file position after every block.
  ShortLineScan::End Run(const ShortLineScan::BlockSink& keepGoing);

  const HeadingDetector& Detector() const { return m_detector; }
  std::vector<Seen>& Places() { return m_seen; }
  std::string& Text() { return m_text; }
  /// The lines that start in the slice, once read.
  std::int64_t Lines() const { return m_scan.Lines(); }
  /// A line feed in the slice has no CR before it (see ShortLineScan::BareFeeds).
  bool BareFeeds() const { return m_scan.BareFeeds(); }
  const std::string& Error() const { return m_scan.Error(); }

 private:
  /// Looks at one short line; keeps its place when it may start a heading.
  void Look(const ShortLineScan::Line& line);
  void Keep(const ShortLineScan::Line& line);

  Shared& m_shared;
  std::int64_t m_nFrom = 0;
  HeadingDetector m_detector;
  ShortLineScan m_scan;
  TextConverter m_toUtf8;
  std::string m_utf8;
  std::vector<Seen> m_seen;
  std::string m_text;
};

}  // namespace sekato::engine
