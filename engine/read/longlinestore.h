#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "spillfile.h"

namespace sekato::engine {

class SourceFeed;
class TextRules;

/// What a LineReader needs of a long line besides its parts: its length measured ahead, and
/// its bytes read again. Straight from the file when the file's bytes are the text; else
/// (the decoder converts) from a spill: an unnamed file (see SpillFile) that keeps the long
/// line's text as it is handed out, and the text measuring reads ahead through the decoder,
/// which the reader then takes from here (see AheadOf). The disk holds about the longest
/// line; memory stays the reader's.
///
/// Positions are text positions: bytes of text from the start of the text, which lies
/// `SetTextStart` bytes into the file (after a byte-order mark the decoder only skips).
class LongLineStore final {
 public:
  explicit LongLineStore(SourceFeed& feed);

  /// The text the reader holds and has not handed out: its first byte's text position, the
  /// bytes, and whether the feed has reached the end of the source.
  struct AtHand {
    std::int64_t position = 0;
    const char* data = nullptr;
    std::size_t size = 0;
    bool ended = false;
  };

  /// Keeps long lines in a spill in `folder` from now on.
  void SpillTo(std::string folder) {
    m_strSpillFolder = std::move(folder);
    m_bSpilling = true;
  }
  bool Spilling() const { return m_bSpilling; }
  void SetTextStart(std::int64_t bytes) { m_nTextStart = bytes; }
  std::int64_t TextStart() const { return m_nTextStart; }
  /// The character rules chunks are cut and measured by.
  void SetRules(const TextRules& rules) { m_pRules = &rules; }

  /// Spilling: keeps the part of a long line just handed out, which begins at text position
  /// `at` with `data` and runs to `upTo` (a CR and line feed ending the line included). The
  /// first part of a line starts a fresh spill; text read ahead past `atHand` stays.
  bool Keep(std::int64_t at, const char* data, std::int64_t upTo, bool firstPart,
            const AtHand& atHand, std::string& error);

  /// Bytes of text measuring read ahead past `end` (where the reader's text ends): the
  /// reader takes these (TakeAhead) before more from the feed.
  std::int64_t AheadOf(std::int64_t end) const { return SpillEnd() - end; }
  bool TakeAhead(std::int64_t end, char* data, std::size_t size, std::string& error) const;

  /// The length of the line that starts at text position `lineStart` (see
  /// LineReader::MeasureLine): bound + 1 past `bound`, -1 with `error` set when reading
  /// failed, -2 when `keepGoing` says no.
  std::int64_t Measure(std::int64_t lineStart, const AtHand& atHand, bool trimmed,
                       std::int64_t bound, const std::function<bool()>& keepGoing,
                       std::string& error);

  /// Reads `size` bytes at text position `offset` again; spilling, only the current long
  /// line's bytes kept so far can be. False with `error` set when they cannot all be read.
  bool ReadAt(std::int64_t offset, char* data, std::size_t size, std::string& error) const;

  void Close();

 private:
  /// Measure where bytes of text are not simply counted: when trimmed in text whose
  /// full-width space is not two bytes long or not known by GBK's lead bytes, when the rules
  /// write other bytes, or when spilling. Chunks are read up to a character, (widened and)
  /// measured as written.
  std::int64_t MeasureChunked(std::int64_t lineStart, const AtHand& atHand, bool trimmed,
                              std::int64_t bound, const std::function<bool()>& keepGoing,
                              std::string& error);
  /// Up to `size` bytes of text at `position`, at or after the current line's start: from
  /// the file, or when spilling from the spill and then ahead through the decoder; 0 at the
  /// end of the text, -1 when reading failed.
  ssize_t ReadText(std::int64_t position, const AtHand& atHand, char* data, std::size_t size,
                   std::string& error);
  std::int64_t SpillEnd() const { return m_nSpillBase + m_spill.Size(); }

  SourceFeed& m_feed;
  const TextRules* m_pRules;
  std::int64_t m_nTextStart = 0;
  bool m_bSpilling = false;
  std::string m_strSpillFolder;
  SpillFile m_spill;
  std::int64_t m_nSpillBase = 0;  ///< text position of the spill's first byte
};

}  // namespace sekato::engine
