#include "transformedtext.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "bytesource.h"
#include "linetransform.h"
#include "patchedfile.h"
#include "sourcedecoder.h"
#include "textpass.h"

namespace sekato::engine {

namespace {

constexpr std::size_t kBlock = TextPass::kBlock;

std::string SystemReason(int error) { return std::strerror(error); }

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

// A result that failed, saying why in `message`.
TransformedText::Result Failed(Message message) {
  TransformedText::Result result;
  result.end = TransformedText::End::Failed;
  result.message = std::move(message);
  return result;
}

// A new file for the text in `folder`, under a hidden name of its own beside the pieces:
// never a piece's name, never another run's. Its descriptor, or -1 with errno set; `path`
// is its name either way.
int CreateText(const std::string& folder, std::string& path) {
  static std::atomic<int> serial{0};
  path = folder + "/.sekato-text-" + std::to_string(::getpid()) + "-" +
         std::to_string(serial.fetch_add(1)) + ".tmp";
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

// Closes a file descriptor when it goes.
struct CloseFd {
  int fd;
  ~CloseFd() { ::close(fd); }
};

// What the text holds before the book's first line. UTF-8 pieces of a book that had a
// byte-order mark start with one: the text keeps it. The text is the book's bytes but for the
// lines that change, which are kept aside, when nothing is converted and no mark skipped:
// UTF-8 is then only checked on its way.
void StartPass(TextPass& pass, const std::string& sourcePath, Encoding source,
               std::size_t markBytes, Encoding text) {
  if (markBytes > 0 && text == Encoding::Utf8) pass.Put("\xEF\xBB\xBF");
  if (source == text && markBytes == 0 && !Encodings::IsUtf16(source)) {
    pass.KeepEdits(sourcePath);
  }
}

// How the reading of the source ended.
struct Reading {
  bool stopped = false;     ///< the host asked to stop
  bool readFailed = false;  ///< a read failed, with `readError`
  int readError = 0;
};

// Hands `text`'s complete lines to `pass`, and at the end its unfinished last line too; a
// line longer than a part goes part by part. Where the bytes not yet handed over begin, or
// none when the pass halted.
std::optional<std::size_t> PassLines(std::string_view text, bool atEnd, TextPass& pass) {
  const std::size_t lastFeed = text.rfind('\n');
  std::size_t done = lastFeed == std::string_view::npos ? 0 : lastFeed + 1;
  if (done > 0 && !pass.Lines(text.substr(0, done))) return std::nullopt;
  if (atEnd) {
    if (done < text.size() && !pass.Line(text.substr(done))) return std::nullopt;
    return text.size();
  }
  // A line longer than a part goes part by part.
  while (text.size() - done > LineTransform::kPartLimit) {
    const std::size_t cut = pass.CutPoint(text.substr(done));
    if (!pass.Line(text.substr(done, cut))) return std::nullopt;
    done += cut;
  }
  return done;
}

// Reads the source block by block into `pass` until its end, a stop asked by `host` (if
// any) or a line the pass cannot write. `direct`: straight from `file`, else through
// `decoder`.
Reading ReadInto(ByteSource& file, SourceDecoder& decoder, bool direct, TextPass& pass,
                 SplitHost* host) {
  std::vector<char> buffer(kBlock * 2);
  std::size_t held = 0;  // an unfinished line from the block before
  std::int64_t consumed = 0;
  Reading reading;
  while (true) {
    if (host && !host->Progress(consumed, file.Length())) {
      reading.stopped = true;
      break;
    }
    if (buffer.size() < held + kBlock) buffer.resize(held + kBlock);
    // GBK, GB18030 and Big5 kept as they are go straight from the file, as the split reads
    // them: nearly every byte sequence is valid there, and a check would cost more.
    const ssize_t got = direct ? file.Read(buffer.data() + held, kBlock)
                               : decoder.Read(file, buffer.data() + held, kBlock);
    if (got < 0) {
      reading.readFailed = true;
      reading.readError = errno;
    }
    consumed = direct ? consumed + std::max<ssize_t>(got, 0) : decoder.Consumed();
    const std::size_t have = held + static_cast<std::size_t>(std::max<ssize_t>(got, 0));
    const std::optional<std::size_t> done = PassLines({buffer.data(), have}, got <= 0, pass);
    if (!done || got <= 0) break;
    std::memmove(buffer.data(), buffer.data() + *done, have - *done);
    held = have - *done;
  }
  return reading;
}

// Bytes not valid in the source, told to `host` (if any) once, at the first of them.
void WarnInvalid(const SourceDecoder& decoder, Encoding source, SplitHost* host) {
  if (decoder.FirstInvalid() < 0 || !host) return;
  const std::string& writtenAs = decoder.FirstInvalidWrittenAs();
  std::string offset = std::to_string(decoder.FirstInvalid());
  std::string encoding(Encodings::DisplayName(source));
  host->Warn(writtenAs.empty() ? Message{MessageId::InvalidInSource, {offset, encoding}}
                               : Message{MessageId::ReplacedInSource,
                                         {offset, encoding, writtenAs == "?" ? "“?”" : writtenAs}});
}

// The end of a pass neither stopped nor failed in writing: done, done but cut short before
// a line that cannot be written, or failed reading.
TransformedText::Result EndOfText(const TextPass& pass, const Reading& reading,
                                  const SourceDecoder& decoder, const std::string& sourcePath,
                                  const std::string& path, Encoding shownEncoding) {
  TransformedText::Result result;
  if (pass.Unwritable()) {
    result.cutShort = Message{MessageId::UnwritableConverted,
                              {sourcePath, std::to_string(LinesIn(path) + 1), *pass.Unwritable(),
                               std::string(Encodings::DisplayName(shownEncoding))}};
    return result;
  }
  if (!reading.readFailed) return result;
  if (!decoder.Unwritable().empty()) {
    Message unwritable{MessageId::UnwritableInSource, {sourcePath}};
    for (const std::string& arg : decoder.Unwritable()) unwritable.args.push_back(arg);
    result.cutShort = std::move(unwritable);
    return result;
  }
  return Failed({MessageId::ReadSource, {sourcePath, SystemReason(reading.readError)}});
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
  std::string reason;
  ByteSource file;
  if (!file.Open(sourcePath, reason)) return Failed({MessageId::OpenSource, {sourcePath, reason}});
  std::string path;
  const int fd = CreateText(folder, path);
  if (fd < 0) return Failed({MessageId::CreatePiece, {path, SystemReason(errno)}});
  m_path = path;
  const CloseFd closeFd{fd};
  SourceDecoder decoder(source, text, markBytes, text);
  TextPass pass(fd, text, transform);
  StartPass(pass, sourcePath, source, markBytes, text);
  const bool direct =
      source == text && markBytes == 0 && !Encodings::IsUtf16(source) && source != Encoding::Utf8;
  const Reading reading = ReadInto(file, decoder, direct, pass, host);
  const bool flushed = pass.Flush();
  // The file written stays empty: what is read from it is the book with its edits.
  if (pass.KeepsEdits()) {
    PatchedFile::Publish(
        path, std::make_shared<const PatchedFile>(sourcePath, pass.Position(), pass.TakeEdits()));
  }
  WarnInvalid(decoder, source, host);
  if (reading.stopped) return {End::Stopped, {}, {}};
  if (pass.Failure()) return Failed(*pass.Failure());
  if (!pass.WriteError().empty() || !flushed) {
    return Failed({MessageId::WritePiece, {path, pass.WriteError()}});
  }
  return EndOfText(pass, reading, decoder, sourcePath, path, shownEncoding);
}

}  // namespace sekato::engine
