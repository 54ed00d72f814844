#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sekato/encoding.h"
#include "sekato/message.h"
#include "sekato/splithost.h"

namespace sekato::engine {

class LineTransform;

/// The book's text once every line has gone through a LineTransform, as a file of its own
/// that the split or the chapter list then reads as its source. Lines keep their number and
/// their line breaks (a rule never joins lines, and a line it empties stays an empty line),
/// so line numbers, clean-up and chapter lists mean the same as on the book; sizes count the
/// transformed text. Read and written in blocks: memory stays flat however large the book,
/// and a line longer than LineTransform::kPartLimit is cut in parts.
///
/// When only rules that sift are active, a block is searched for their literals first and
/// only the lines holding one are decoded and transformed; the rest are copied as they are.
/// When the text is the book's own bytes (kept in its encoding, not UTF-16, no mark),
/// nothing is copied at all while few lines change: the file stays an empty placeholder, and
/// readers read the book with the changed lines through a PatchedFile published under its
/// path. The file is removed when the object goes.
class TransformedText final {
 public:
  enum class End { Done, Stopped, Failed };
  struct Result {
    End end = End::Done;
    Message message;  ///< Failed: why
    /// Done, but the text stops before a line the pieces' encoding cannot hold once it is
    /// transformed: the run writes every line before it, then fails with this.
    std::optional<Message> cutShort;
  };

  TransformedText() = default;
  ~TransformedText();
  TransformedText(const TransformedText&) = delete;
  TransformedText& operator=(const TransformedText&) = delete;

  /// Reads `sourcePath` (in `source`, its first `markBytes` a byte-order mark) and writes
  /// its lines transformed, in `text`, into a new file in `folder`. `shownEncoding` is the
  /// pieces' encoding, named when a character cannot be written. `host` (if any) is told
  /// the progress and warned of bytes not valid in the source.
  Result Write(const std::string& sourcePath, Encoding source, std::size_t markBytes, Encoding text,
               Encoding shownEncoding, LineTransform& transform, const std::string& folder,
               SplitHost* host);

  /// The file written; empty before Write.
  const std::string& Path() const { return m_path; }

  /// Puts the source's path where `message` (and what follows it) names the file written.
  void NameSource(Message& message, const std::string& sourcePath) const;

 private:
  std::string m_path;
};

/// The host of the pass over the transformed text: its progress is the second half of the
/// run's, and what the first pass said already (the encoding, bytes not valid in the source)
/// is not said again.
class TransformedHost final : public SplitHost {
 public:
  explicit TransformedHost(SplitHost& host) : m_host(host) {}
  bool Progress(std::int64_t position, std::int64_t length) override {
    if (length < 0) return m_host.Progress(position, length);
    return m_host.Progress(length + position, length * 2);
  }
  void Warn(const Message& message) override {
    if (message.id == MessageId::InvalidInSource || message.id == MessageId::ReplacedInSource) {
      return;
    }
    m_host.Warn(message);
  }

 private:
  SplitHost& m_host;
};

}  // namespace sekato::engine
