#include "transformedtext.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "bytesource.h"
#include "fileops.h"
#include "linetransform.h"
#include "literalsieve.h"
#include "patchedfile.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

// A megabyte read and written at a time: memory stays a few megabytes whatever the book.
constexpr std::size_t kBlock = std::size_t{1} << 20;
constexpr std::size_t kFlushAt = std::size_t{1} << 20;
// A stretch of lines copied as they are goes to the file straight from the block read once
// it is this long, rather than through the pending bytes.
constexpr std::size_t kWriteStraight = std::size_t{64} << 10;
// The changed lines kept in memory while the book's own bytes are the rest of the text; past
// this, the text is written out whole.
constexpr std::size_t kEditLimit = std::size_t{4} << 20;

std::string SystemReason(int error) { return std::strerror(error); }

// One pass over the decoded text: lines found, transformed or copied, and written.
class TextPass final {
 public:
  TextPass(int fd, Encoding text, LineTransform& transform)
      : m_fd(fd), m_text(text), m_transform(transform), m_rules(TextRules::For(text)) {
    if (transform.Sifts()) {
      std::vector<std::string> literals;
      bool sifts = true;
      for (const std::string& literal : transform.Literals()) {
        // A literal the text's encoding cannot hold is in no line of it, nor one that holds
        // a line break.
        auto encoded = TextCodec::Convert(literal, Encoding::Utf8, text);
        if (!encoded || encoded->find_first_of("\r\n") != std::string::npos) continue;
        sifts = sifts && LiteralSieve::CanHold(*encoded);
        literals.push_back(std::move(*encoded));
      }
      if (sifts) m_sieve.emplace(std::move(literals));
    }
    for (const char* end : {"。", "！", "？", "…"}) {
      if (auto encoded = TextCodec::Convert(end, Encoding::Utf8, text)) {
        m_sentenceEnds.push_back(std::move(*encoded));
      }
    }
  }

  /// Complete lines, each with its line feed.
  bool Lines(std::string_view lines) {
    if (!m_sieve) return EachLine(lines);
    // The pairs the sieve looks for are chosen on the first block, which is most books' way
    // of writing.
    if (!m_bTuned) {
      m_sieve->Tune(lines);
      m_bTuned = true;
    }
    // Only the lines holding a literal can change; the rest are copied as they are.
    std::size_t copied = 0;
    for (std::size_t hit; (hit = m_sieve->Find(lines, copied)) != LiteralSieve::npos;) {
      const std::size_t before = hit == 0 ? std::string_view::npos : lines.rfind('\n', hit - 1);
      const std::size_t start =
          before == std::string_view::npos || before < copied ? copied : before + 1;
      std::size_t end = lines.find('\n', hit);
      end = end == std::string_view::npos ? lines.size() : end + 1;
      if (!Put(lines.substr(copied, start - copied))) return false;
      if (!Line(lines.substr(start, end - start))) return false;
      copied = end;
    }
    return Put(lines.substr(copied));
  }

  /// A line or part of one, with its line break if it has one.
  bool Line(std::string_view line) {
    std::size_t breakBytes = 0;
    if (line.ends_with('\n')) breakBytes = line.ends_with("\r\n") ? 2 : 1;
    const std::string_view content = line.substr(0, line.size() - breakBytes);
    std::string_view utf8 = content;
    if (m_text != Encoding::Utf8) {
      auto decoded = TextCodec::Convert(content, m_text, Encoding::Utf8);
      // Bytes that are not text in the encoding are left to the split, as they are.
      if (!decoded) return Put(line);
      m_decoded = std::move(*decoded);
      utf8 = m_decoded;
    }
    std::string error;
    if (!m_transform.Apply(utf8, m_out, error)) {
      m_failure = {MessageId::ReplaceFailed, {error}};
      return false;
    }
    if (m_text != Encoding::Utf8) {
      auto encoded = TextCodec::Convert(m_out, Encoding::Utf8, m_text);
      if (!encoded) {
        m_unwritable = TextCodec::Unwritable(m_out, m_text).value_or("?");
        return false;
      }
      m_out = std::move(*encoded);
    }
    m_out.append(line.substr(content.size()));
    return Emit(line);
  }

  /// The text's bytes are the source's, the lines that change aside: those are kept as
  /// edits of `sourcePath` while they are few, and nothing else is written.
  void KeepEdits(const std::string& sourcePath) {
    m_bEdits = true;
    m_strSource = sourcePath;
  }
  bool KeepsEdits() const { return m_bEdits; }
  /// Bytes of the source taken so far.
  std::int64_t Position() const { return m_nAt; }
  std::vector<PatchedFile::Edit> TakeEdits() { return std::move(m_edits); }

  bool EachLine(std::string_view lines) {
    while (!lines.empty()) {
      std::size_t end = lines.find('\n');
      end = end == std::string_view::npos ? lines.size() : end + 1;
      if (!Line(lines.substr(0, end))) return false;
      lines.remove_prefix(end);
    }
    return true;
  }

  /// Where the first part of a long unfinished line ends: after a sentence end, or else at
  /// a character boundary, within the part limit.
  std::size_t CutPoint(std::string_view text) const {
    const std::size_t limit = LineTransform::kPartLimit;
    std::size_t pos = 0;
    std::size_t best = 0;
    while (pos < text.size()) {
      const std::size_t length = std::max<std::size_t>(m_rules.CharLength(text, pos), 1);
      if (pos + length > limit) break;
      for (const std::string& end : m_sentenceEnds) {
        if (text.substr(pos, end.size()) == end) best = pos + end.size();
      }
      pos += length;
    }
    return best > 0 ? best : std::max<std::size_t>(pos, 1);
  }

  bool Put(std::string_view bytes) {
    if (m_bEdits) {
      m_nAt += static_cast<std::int64_t>(bytes.size());
      return true;
    }
    if (bytes.size() >= kWriteStraight) return Flush() && WriteAll(bytes);
    if (m_pending.size() + bytes.size() > kFlushAt && !Flush()) return false;
    m_pending.append(bytes);
    return true;
  }

  bool Flush() {
    const bool written = WriteAll(m_pending);
    m_pending.clear();
    return written;
  }

  bool WriteAll(std::string_view bytes) {
    const int error = FileOps::WriteAll(m_fd, bytes.data(), bytes.size());
    if (error != 0) m_writeError = SystemReason(error);
    return error == 0;
  }

  /// `line` transformed into m_out, written or kept as an edit.
  bool Emit(std::string_view line) {
    if (!m_bEdits) return Put(m_out);
    if (m_out != line) {
      m_nEditBytes += m_out.size() + sizeof(PatchedFile::Edit);
      m_edits.push_back({m_nAt, static_cast<std::int64_t>(line.size()), m_out});
    }
    m_nAt += static_cast<std::int64_t>(line.size());
    return m_nEditBytes <= kEditLimit || WriteEdited();
  }

  /// Too many lines change to keep them: the text so far is written out, and from here on
  /// every line is.
  bool WriteEdited() {
    const PatchedFile text(m_strSource, m_nAt, std::move(m_edits));
    m_bEdits = false;
    m_edits.clear();
    struct stat info {};
    const int fd = FileOps::OpenSource(m_strSource, info, m_writeError);
    if (fd < 0) return false;
    std::vector<char> chunk(kBlock);
    std::int64_t at = 0;
    bool written = true;
    while (written && at < text.Length()) {
      const ssize_t got = text.ReadAt(fd, chunk.data(), chunk.size(), at);
      if (got <= 0) {
        m_writeError = got < 0 ? SystemReason(errno) : "the source became shorter";
        written = false;
        break;
      }
      written = WriteAll({chunk.data(), static_cast<std::size_t>(got)});
      at += got;
    }
    ::close(fd);
    return written;
  }

  const std::optional<std::string>& Unwritable() const { return m_unwritable; }
  const std::optional<Message>& Failure() const { return m_failure; }
  const std::string& WriteError() const { return m_writeError; }

 private:
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

// Lines in the first `bytes` of the file at `path`: those before the line that stopped.
std::int64_t LinesIn(const std::string& path) {
  std::string reason;
  ByteSource file;
  if (!file.Open(path, reason)) return 0;
  std::vector<char> chunk(kBlock);
  std::int64_t lines = 0;
  while (true) {
    const ssize_t got = file.Read(chunk.data(), chunk.size());
    if (got <= 0) break;
    lines += std::count(chunk.data(), chunk.data() + got, '\n');
  }
  return lines;
}

}  // namespace

void TransformedText::NameSource(Message& message, const std::string& sourcePath) const {
  for (std::string& arg : message.args) {
    if (!m_path.empty() && arg == m_path) arg = sourcePath;
  }
  for (Message& next : message.then) NameSource(next, sourcePath);
}

TransformedText::~TransformedText() {
  if (m_path.empty()) return;
  PatchedFile::Withdraw(m_path);
  ::unlink(m_path.c_str());
}

TransformedText::Result TransformedText::Write(const std::string& sourcePath, Encoding source,
                                               std::size_t markBytes, Encoding text,
                                               Encoding shownEncoding, LineTransform& transform,
                                               const std::string& folder, SplitHost* host) {
  Result result;
  const auto fail = [&](Message message) {
    result.end = End::Failed;
    result.message = std::move(message);
    return result;
  };
  std::string reason;
  ByteSource file;
  if (!file.Open(sourcePath, reason)) return fail({MessageId::OpenSource, {sourcePath, reason}});
  // A hidden name of its own, beside the pieces: never a piece's name, never another run's.
  static std::atomic<int> serial{0};
  const std::string path = folder + "/.sekato-text-" + std::to_string(::getpid()) + "-" +
                           std::to_string(serial.fetch_add(1)) + ".tmp";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return fail({MessageId::CreatePiece, {path, SystemReason(errno)}});
  m_path = path;
  struct CloseFd {
    int fd;
    ~CloseFd() { ::close(fd); }
  } closeFd{fd};

  SourceDecoder decoder(source, text, markBytes, text);
  TextPass pass(fd, text, transform);
  // UTF-8 pieces of a book that had a byte-order mark start with one: the text keeps it.
  if (markBytes > 0 && text == Encoding::Utf8) pass.Put("\xEF\xBB\xBF");
  const bool direct =
      source == text && markBytes == 0 && !Encodings::IsUtf16(source) && source != Encoding::Utf8;
  // The text is the book's bytes but for the lines that change, which are kept aside, when
  // nothing is converted and no mark skipped: UTF-8 is then only checked on its way.
  if (source == text && markBytes == 0 && !Encodings::IsUtf16(source)) {
    pass.KeepEdits(sourcePath);
  }
  std::vector<char> buffer(kBlock * 2);
  std::size_t held = 0;  // an unfinished line from the block before
  std::int64_t consumed = 0;
  bool stopped = false;
  bool halted = false;
  bool readFailed = false;
  int readError = 0;
  while (!halted) {
    if (host && !host->Progress(consumed, file.Length())) {
      stopped = true;
      break;
    }
    if (buffer.size() < held + kBlock) buffer.resize(held + kBlock);
    // GBK, GB18030 and Big5 kept as they are go straight from the file, as the split reads
    // them: nearly every byte sequence is valid there, and a check would cost more.
    const ssize_t got = direct ? file.Read(buffer.data() + held, kBlock)
                               : decoder.Read(file, buffer.data() + held, kBlock);
    if (got < 0) {
      readFailed = true;
      readError = errno;
    }
    consumed = direct ? consumed + std::max<ssize_t>(got, 0) : decoder.Consumed();
    const bool atEnd = got <= 0;
    const std::size_t have = held + static_cast<std::size_t>(std::max<ssize_t>(got, 0));
    const std::string_view text_(buffer.data(), have);
    const std::size_t lastFeed = text_.rfind('\n');
    std::size_t done = lastFeed == std::string_view::npos ? 0 : lastFeed + 1;
    if (done > 0 && !pass.Lines(text_.substr(0, done))) {
      halted = true;
      break;
    }
    if (atEnd) {
      if (done < have && !pass.Line(text_.substr(done))) halted = true;
      break;
    }
    // A line longer than a part goes part by part.
    while (have - done > LineTransform::kPartLimit) {
      const std::size_t cut = pass.CutPoint(text_.substr(done));
      if (!pass.Line(text_.substr(done, cut))) {
        halted = true;
        break;
      }
      done += cut;
    }
    std::memmove(buffer.data(), buffer.data() + done, have - done);
    held = have - done;
  }
  const bool flushed = pass.Flush();
  // The file written stays empty: what is read from it is the book with its edits.
  if (pass.KeepsEdits()) {
    PatchedFile::Publish(
        path, std::make_shared<const PatchedFile>(sourcePath, pass.Position(), pass.TakeEdits()));
  }
  if (decoder.FirstInvalid() >= 0 && host) {
    const std::string& writtenAs = decoder.FirstInvalidWrittenAs();
    std::string offset = std::to_string(decoder.FirstInvalid());
    std::string encoding(Encodings::DisplayName(source));
    host->Warn(writtenAs.empty()
                   ? Message{MessageId::InvalidInSource, {offset, encoding}}
                   : Message{MessageId::ReplacedInSource,
                             {offset, encoding, writtenAs == "?" ? "“?”" : writtenAs}});
  }
  if (stopped) {
    result.end = End::Stopped;
    return result;
  }
  if (pass.Failure()) return fail(*pass.Failure());
  if (!pass.WriteError().empty() || !flushed) {
    return fail({MessageId::WritePiece, {path, pass.WriteError()}});
  }
  if (pass.Unwritable()) {
    result.cutShort = Message{MessageId::UnwritableConverted,
                              {sourcePath, std::to_string(LinesIn(path) + 1), *pass.Unwritable(),
                               std::string(Encodings::DisplayName(shownEncoding))}};
    return result;
  }
  if (readFailed) {
    if (!decoder.Unwritable().empty()) {
      Message unwritable{MessageId::UnwritableInSource, {sourcePath}};
      for (const std::string& arg : decoder.Unwritable()) unwritable.args.push_back(arg);
      result.cutShort = std::move(unwritable);
      return result;
    }
    return fail({MessageId::ReadSource, {sourcePath, SystemReason(readError)}});
  }
  return result;
}

}  // namespace sekato::engine
