#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sekato/encoding.h"
#include "sekato/headingdetection.h"
#include "sekato/message.h"

namespace sekato::engine {

/// One chapter heading as a chapter split would find it.
struct ScannedHeading {
  std::int64_t index = 0;    ///< 1 for the first heading found
  std::int64_t number = -1;  ///< the number it carries; -1 when none can be read
  std::int64_t line = 0;     ///< line number in the source, from 1
  std::int64_t offset = 0;   ///< byte offset of that line in the source
  std::int64_t size = 0;     ///< source bytes from this heading to the next (or the end)
  std::int64_t piece = 0;    ///< sequence number of the piece it goes into
  std::string title;         ///< in the result's textEncoding, cleaned as for title names
  std::string file;          ///< file name (UTF-8) the piece it goes into ends up with
};

/// Something wrong with the chapter numbers, in the order the headings give them.
struct NumberingIssue {
  enum class Kind {
    Gap,         ///< numbers `number` … `last` missing between lines[0] and lines[1]
    Repeat,      ///< `number` stands on every line of `lines`
    OutOfOrder,  ///< `number` on lines[0] comes after the higher `last`
  };
  Kind kind = Kind::Gap;
  std::int64_t number = 0;
  std::int64_t last = 0;
  std::vector<std::int64_t> lines;
  std::int64_t heading = 0;  ///< index of the heading at which it shows
};

/// A line that holds the keywords in order but is longer than the title limit.
struct NearMiss {
  std::int64_t line = 0;
  std::int64_t chars = 0;  ///< its length in Chinese characters (two bytes each, rounded up)
  std::string text;        ///< in the result's textEncoding
};

/// A common heading form found in the source, and the options that would take it.
struct HeadingForm {
  std::string label;          ///< UTF-8, e.g. "第N回" or "Chapter N"
  std::int64_t lines = 0;     ///< lines holding it
  std::string keywords;       ///< GBK keyword text that finds it, e.g. "第 回"
  std::int64_t titleMax = 0;  ///< title limit that takes its longest line
};

/// What a chapter split with the given options would find, without writing anything.
struct ScanResult {
  enum class Status { Done, Stopped, Refused, Failed };
  Status status = Status::Done;
  Message error;  ///< for Refused and Failed

  Encoding sourceEncoding = Encoding::Gbk;  ///< as detected or chosen
  /// Book text in the result (titles, near misses): GBK for a GBK source, else GB18030, the
  /// text headings are matched in; see ScanReport::Utf8.
  Encoding textEncoding = Encoding::Gbk;
  std::int64_t sourceBytes = 0;
  std::int64_t lines = 0;
  std::int64_t titleMax = 0;  ///< the title limit inspected with
  std::string regex;          ///< the heading rule inspected with (UTF-8); empty: the keywords
  std::string exclude;        ///< its exclusion pattern, if any
  std::vector<ScannedHeading> headings;  ///< at most kMaxListed; see headingCount
  std::int64_t headingCount = 0;
  std::int64_t prefaceBytes = 0;  ///< source bytes before the first heading

  std::int64_t pieces = 0;        ///< pieces a chapter split writes
  std::int64_t largestPiece = 0;  ///< source bytes going into the largest piece
  std::int64_t smallestPiece = 0;

  std::vector<NumberingIssue> numbering;

  std::int64_t nearMissCount = 0;
  std::vector<NearMiss> nearMisses;    ///< the first few
  std::int64_t suggestedTitleMax = 0;  ///< the limit that takes every near miss; 0 for none

  std::vector<HeadingForm> forms;  ///< when no heading was found: the forms that occur
  bool detected = false;           ///< automatic detection ran: see `detection`
  HeadingDetection detection;
  /// With replacement rules: the replacements each made, in the options' order. Offsets and
  /// sizes then count the transformed text, whose lines are the source's.
  std::vector<std::int64_t> ruleCounts;

  static constexpr std::size_t kMaxListed = 100000;
  static constexpr std::size_t kMaxNearMissesListed = 5;
};

}  // namespace sekato::engine
