#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "literalsieve.h"
#include "patchedfile.h"
#include "sekato/encoding.h"
#include "sekato/message.h"
#include "sekato/textrules.h"

namespace sekato::engine {

class LineTransform;

/// One pass over the decoded text of TransformedText: lines found, transformed or copied, and
/// written to the file `fd`, or kept as edits of the book while few lines change.
///
/// When only rules that sift are active, a block is searched for their literals first and
/// only the lines holding one are decoded and transformed; the rest are copied as they are.
/// A pass halts at the first line it cannot write (false from Lines or Line), saying why
/// through Unwritable, Failure or WriteError.
class TextPass final {
 public:
  /// A megabyte read and written at a time: memory stays a few megabytes whatever the book.
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  TextPass(int fd, Encoding text, LineTransform& transform);

  /// Complete lines, each with its line feed.
  bool Lines(std::string_view lines);
  /// A line or part of one, with its line break if it has one.
  bool Line(std::string_view line);

  /// The text's bytes are the source's, the lines that change aside: those are kept as
  /// edits of `sourcePath` while they are few, and nothing else is written.
  void KeepEdits(const std::string& sourcePath);
  bool KeepsEdits() const { return m_bEdits; }
  /// Bytes of the source taken so far.
  std::int64_t Position() const { return m_nAt; }
  std::vector<PatchedFile::Edit> TakeEdits() { return std::move(m_edits); }

  /// Where the first part of a long unfinished line ends: after a sentence end, or else at
  /// a character boundary, within the part limit.
  std::size_t CutPoint(std::string_view text) const;

  /// `bytes` as they are, after what came before.
  bool Put(std::string_view bytes);
  /// Writes the bytes still pending.
  bool Flush();

  const std::optional<std::string>& Unwritable() const { return m_unwritable; }
  const std::optional<Message>& Failure() const { return m_failure; }
  const std::string& WriteError() const { return m_writeError; }

 private:
  bool EachLine(std::string_view lines);
  bool WriteAll(std::string_view bytes);
  /// `line` transformed into m_out, written or kept as an edit.
  bool Emit(std::string_view line);
  /// Too many lines change to keep them: the text so far is written out, and from here on
  /// every line is.
  bool WriteEdited();

  int m_fd;
  Encoding m_text;
  LineTransform& m_transform;
  const TextRules& m_rules;
  std::optional<LiteralSieve> m_sieve;  ///< none: every line is transformed
  bool m_bTuned = false;
  std::vector<std::string> m_sentenceEnds;
  std::string m_decoded;
  std::string m_out;
  std::string m_pending;
  std::optional<std::string> m_unwritable;
  std::optional<Message> m_failure;
  std::string m_writeError;
  bool m_bEdits = false;
  std::string m_strSource;
  std::int64_t m_nAt = 0;
  std::size_t m_nEditBytes = 0;
  std::vector<PatchedFile::Edit> m_edits;
};

}  // namespace sekato::engine
