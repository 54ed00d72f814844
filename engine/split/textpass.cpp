#include "textpass.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fileops.h"
#include "linetransform.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

constexpr std::size_t kBlock = TextPass::kBlock;
constexpr std::size_t kFlushAt = std::size_t{1} << 20;
// A stretch of lines copied as they are goes to the file straight from the block read once
// it is this long, rather than through the pending bytes.
constexpr std::size_t kWriteStraight = std::size_t{64} << 10;
// The changed lines kept in memory while the book's own bytes are the rest of the text; past
// this, the text is written out whole.
constexpr std::size_t kEditLimit = std::size_t{4} << 20;

std::string SystemReason(int error) { return std::strerror(error); }

}  // namespace

TextPass::TextPass(int fd, Encoding text, LineTransform& transform)
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

bool TextPass::Lines(std::string_view lines) {
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

bool TextPass::Line(std::string_view line) {
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

void TextPass::KeepEdits(const std::string& sourcePath) {
  m_bEdits = true;
  m_strSource = sourcePath;
}

bool TextPass::EachLine(std::string_view lines) {
  while (!lines.empty()) {
    std::size_t end = lines.find('\n');
    end = end == std::string_view::npos ? lines.size() : end + 1;
    if (!Line(lines.substr(0, end))) return false;
    lines.remove_prefix(end);
  }
  return true;
}

std::size_t TextPass::CutPoint(std::string_view text) const {
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

bool TextPass::Put(std::string_view bytes) {
  if (m_bEdits) {
    m_nAt += static_cast<std::int64_t>(bytes.size());
    return true;
  }
  if (bytes.size() >= kWriteStraight) return Flush() && WriteAll(bytes);
  if (m_pending.size() + bytes.size() > kFlushAt && !Flush()) return false;
  m_pending.append(bytes);
  return true;
}

bool TextPass::Flush() {
  const bool written = WriteAll(m_pending);
  m_pending.clear();
  return written;
}

bool TextPass::WriteAll(std::string_view bytes) {
  const int error = FileOps::WriteAll(m_fd, bytes.data(), bytes.size());
  if (error != 0) m_writeError = SystemReason(error);
  return error == 0;
}

bool TextPass::Emit(std::string_view line) {
  if (!m_bEdits) return Put(m_out);
  if (m_out != line) {
    m_nEditBytes += m_out.size() + sizeof(PatchedFile::Edit);
    m_edits.push_back({m_nAt, static_cast<std::int64_t>(line.size()), m_out});
  }
  m_nAt += static_cast<std::int64_t>(line.size());
  return m_nEditBytes <= kEditLimit || WriteEdited();
}

bool TextPass::WriteEdited() {
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

}  // namespace sekato::engine
