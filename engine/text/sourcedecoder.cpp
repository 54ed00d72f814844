#include "sourcedecoder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bytesource.h"
#include "sekato/textrules.h"

namespace sekato::engine {

namespace {
constexpr std::size_t kRawSize = std::size_t{1} << 18;
constexpr std::size_t kMaxChar = 4;
/// Room a step needs to make progress: the most one character (or what a converter held
/// back) can come to.
constexpr std::size_t kStepRoom = 16;
/// A source byte becomes at most this many bytes of text through two stages: a Big5 code
/// is two code points, each four bytes in GB18030.
constexpr std::size_t kMostGrowth = 4;
}  // namespace

SourceDecoder::SourceDecoder(Encoding source, Encoding text, std::size_t markBytes, Encoding output)
    : m_source(source), m_output(output), m_nSkip(markBytes) {
  // Pieces in the source's own encoding take its bytes as they are.
  const bool asItIs = source == text && !Encodings::IsUtf16(source) && output == text;
  if (asItIs) return;
  m_raw.resize(kRawSize);
  if (source == Encoding::Utf8) {
    m_first = CodecStage::Encoder(text);
  } else if (text == Encoding::Utf8) {
    // UTF-16 written back as the same UTF-16 keeps a lone surrogate as it was.
    m_bKeepSurrogates = output == source;
    m_first = CodecStage::Decoder(source, m_bKeepSurrogates);
  } else {
    m_first = CodecStage::Decoder(source);
    m_second = CodecStage::Encoder(text);
  }
}

ssize_t SourceDecoder::ReadRaw(const ByteSource& source, char* out, std::size_t capacity) {
  return source.Read(out, capacity);
}

ssize_t SourceDecoder::Read(const ByteSource& source, char* out, std::size_t capacity) {
  if (m_first) return Convert(source, out, capacity);
  while (true) {
    ssize_t got = ReadRaw(source, out, capacity);
    if (got <= 0) {
      if (got == 0) Check(nullptr, 0, true);
      return got;
    }
    m_nConsumed += got;
    if (m_nSkip > 0) {
      const std::size_t drop = std::min(m_nSkip, static_cast<std::size_t>(got));
      std::memmove(out, out + drop, static_cast<std::size_t>(got) - drop);
      got -= static_cast<ssize_t>(drop);
      m_nSkip -= drop;
      if (got == 0) continue;
    }
    Check(out, static_cast<std::size_t>(got), false);
    return got;
  }
}

void SourceDecoder::Check(const char* data, std::size_t size, bool final) {
  if (m_nFirstInvalid >= 0) return;  // one warning is enough; the rest is not looked at
  const TextRules& rules = TextRules::For(m_source);
  // Offset in the file of data[0].
  const std::int64_t base = m_nConsumed - static_cast<std::int64_t>(size);
  std::size_t start = 0;
  bool cutOff = false;
  if (!m_carry.empty()) {
    const std::size_t carried = m_carry.size();
    std::string joined = m_carry;
    joined.append(data, std::min(size, kMaxChar));
    const std::size_t valid = rules.ValidPrefix(joined.data(), joined.size(), cutOff);
    if (valid < carried && !(cutOff && !final && size < kMaxChar)) {
      NoteInvalid(base - static_cast<std::int64_t>(carried) + static_cast<std::int64_t>(valid), "");
      return;
    }
    m_carry.clear();
    if (valid < carried) {  // still cut off: a tiny chunk
      m_carry = joined;
      return;
    }
    start = valid - carried;
  }
  if (final) return;
  const std::size_t valid = rules.ValidPrefix(data + start, size - start, cutOff);
  const std::size_t end = start + valid;
  if (end == size) return;
  if (cutOff && size - end < kMaxChar) {
    m_carry.assign(data + end, size - end);
    return;
  }
  NoteInvalid(base + static_cast<std::int64_t>(end), "");
}

bool SourceDecoder::Refill(const ByteSource& source) {
  // What is left (a character cut off by the end of the last read) moves to the front.
  const std::size_t left = m_rawEnd - m_rawBegin;
  std::memmove(m_raw.data(), m_raw.data() + m_rawBegin, left);
  m_rawBegin = 0;
  m_rawEnd = left;
  const ssize_t got = ReadRaw(source, m_raw.data() + m_rawEnd, m_raw.size() - m_rawEnd);
  if (got < 0) return false;
  if (got == 0) m_bEof = true;
  m_rawEnd += static_cast<std::size_t>(got);
  if (m_nSkip > 0) {
    const std::size_t drop = std::min(m_nSkip, m_rawEnd - m_rawBegin);
    m_rawBegin += drop;
    m_nConsumed += static_cast<std::int64_t>(drop);
    m_nSkip -= drop;
  }
  m_bNeedMore = false;
  return true;
}

ssize_t SourceDecoder::Convert(const ByteSource& source, char* out, std::size_t capacity) {
  if (m_bFailed) {
    errno = EILSEQ;
    return -1;
  }
  std::size_t produced = 0;
  const auto stop = [&]() -> ssize_t {
    if (produced > 0) return static_cast<ssize_t>(produced);
    if (m_bFailed) errno = EILSEQ;
    return m_bFailed ? -1 : 0;
  };
  while (true) {
    if (!m_strError.empty()) {  // the text before the character is out: now the failure
      m_bFailed = true;
      return stop();
    }
    if (capacity - produced < kStepRoom && produced > 0) return stop();
    if (!DrainMiddle(out, capacity, produced)) return stop();
    if ((m_rawBegin == m_rawEnd || m_bNeedMore) && !m_bEof) {
      if (produced > 0) return stop();
      if (!Refill(source)) return -1;
      continue;
    }
    if (m_rawBegin == m_rawEnd) {  // the end of the file
      if (!FinishStages(out, capacity, produced)) return stop();
      return stop();
    }
    const bool goOn =
        m_second ? StepChained(out, capacity, produced) : StepDirect(out, capacity, produced);
    if (!goOn) return stop();
  }
}

bool SourceDecoder::StepDirect(char* out, std::size_t capacity, std::size_t& produced) {
  const char* in = m_raw.data() + m_rawBegin;
  std::size_t inLeft = m_rawEnd - m_rawBegin;
  char* to = out + produced;
  std::size_t toLeft = capacity - produced;
  const CodecStage::Result result = m_first->Step(in, inLeft, to, toLeft, m_bEof);
  const std::size_t taken = m_rawEnd - m_rawBegin - inLeft;
  m_rawBegin += taken;
  m_nConsumed += static_cast<std::int64_t>(taken);
  produced = capacity - toLeft;
  switch (result.end) {
    case CodecStage::End::Done:
    case CodecStage::End::CutOff:
      m_bNeedMore = true;
      return true;
    case CodecStage::End::NoRoom:
      return false;
    case CodecStage::End::Invalid:
      if (!m_first->Replace(in, result.length, to, toLeft)) return false;
      NoteInvalid(m_nConsumed, m_first->ReplacementName(in, result.length));
      m_rawBegin += result.length;
      m_nConsumed += static_cast<std::int64_t>(result.length);
      produced = capacity - toLeft;
      return true;
    case CodecStage::End::Unwritable:
      NoteUnwritable(m_nConsumed, std::string_view(in, result.length));
      return true;
  }
  return true;
}

bool SourceDecoder::StepChained(char* out, std::size_t capacity, std::size_t& produced) {
  // As much of the file as surely fits once converted twice, so that the second stage never
  // stops for room and every byte the first took is written out in this step.
  const std::size_t available = m_rawEnd - m_rawBegin;
  const std::size_t block = std::min(available, (capacity - produced) / kMostGrowth);
  const bool atEnd = m_bEof && block == available;
  const std::size_t need = block * 3 + kStepRoom;
  if (m_middle.size() < need) m_middle.resize(need);
  const char* const start = m_raw.data() + m_rawBegin;
  const char* in = start;
  std::size_t inLeft = block;
  char* mid = m_middle.data();
  std::size_t midLeft = m_middle.size();
  while (inLeft > 0) {
    const CodecStage::Result result = m_first->Step(in, inLeft, mid, midLeft, atEnd);
    if (result.end != CodecStage::End::Invalid) {
      // A character cut off by the end of the bytes read waits for more of them; one cut
      // by the end of the block starts the next block.
      m_bNeedMore = result.end == CodecStage::End::CutOff && block == available;
      break;
    }
    // What the pieces get for it is what the second stage makes of U+FFFD.
    m_first->Replace(in, result.length, mid, midLeft);
    NoteInvalid(m_nConsumed + (in - start), m_second->ReplacementName("", 1));
    in += result.length;
    inLeft -= result.length;
  }
  const std::size_t taken = block - inLeft;
  m_midBegin = 0;
  m_midEnd = m_middle.size() - midLeft;
  const std::int64_t blockOffset = m_nConsumed;
  m_rawBegin += taken;
  m_nConsumed += static_cast<std::int64_t>(taken);
  const char* text = m_middle.data();
  std::size_t textLeft = m_midEnd;
  char* to = out + produced;
  std::size_t toLeft = capacity - produced;
  const CodecStage::Result result = m_second->Step(text, textLeft, to, toLeft, false);
  produced = capacity - toLeft;
  m_midBegin = m_midEnd - textLeft;
  if (result.end == CodecStage::End::Unwritable) {
    const std::size_t at = OffsetInBlock(start, taken, m_midBegin);
    NoteUnwritable(blockOffset + static_cast<std::int64_t>(at),
                   std::string_view(text, result.length));
  }
  return m_midBegin == m_midEnd || result.end == CodecStage::End::Unwritable;
}

bool SourceDecoder::DrainMiddle(char* out, std::size_t capacity, std::size_t& produced) {
  if (m_midBegin == m_midEnd || !m_strError.empty()) return true;
  const char* text = m_middle.data() + m_midBegin;
  std::size_t textLeft = m_midEnd - m_midBegin;
  char* to = out + produced;
  std::size_t toLeft = capacity - produced;
  const CodecStage::Result result = m_second->Step(text, textLeft, to, toLeft, false);
  produced = capacity - toLeft;
  m_midBegin = m_midEnd - textLeft;
  if (result.end == CodecStage::End::Unwritable) {
    NoteUnwritable(m_nConsumed, std::string_view(text, result.length));
  }
  return m_midBegin == m_midEnd;
}

bool SourceDecoder::FinishStages(char* out, std::size_t capacity, std::size_t& produced) {
  if (m_bFinished) return true;
  if (capacity - produced < kStepRoom) return false;
  char* to = out + produced;
  std::size_t toLeft = capacity - produced;
  if (m_second) {
    // What the first held back goes through the second, then what the second held.
    char held[kStepRoom];
    char* mid = held;
    std::size_t midLeft = sizeof held;
    m_first->Finish(mid, midLeft);
    const char* text = held;
    std::size_t textLeft = sizeof held - midLeft;
    const CodecStage::Result result = m_second->Step(text, textLeft, to, toLeft, true);
    if (result.end == CodecStage::End::Unwritable) {
      NoteUnwritable(m_nConsumed, std::string_view(text, result.length));
    }
    m_second->Finish(to, toLeft);
  } else {
    m_first->Finish(to, toLeft);
  }
  produced = capacity - toLeft;
  m_bFinished = true;
  return true;
}

void SourceDecoder::NoteUnwritable(std::int64_t offset, std::string_view utf8) {
  if (!m_strError.empty()) return;
  m_unwritable = {std::to_string(offset), std::string(utf8),
                  std::string(Encodings::DisplayName(m_output))};
  m_strError = "character " + m_unwritable[1] + " at byte " + m_unwritable[0] +
               " cannot be written in " + m_unwritable[2];
}

std::size_t SourceDecoder::OffsetInBlock(const char* block, std::size_t size,
                                         std::size_t utf8Bytes) const {
  // Character by character again, each alone, until the text reaches that far.
  const TextRules& rules = TextRules::For(m_source);
  const std::string_view bytes(block, size);
  std::size_t pos = 0;
  std::size_t made = 0;
  while (pos < size) {
    std::size_t length = 2;
    if (!Encodings::IsUtf16(m_source)) {
      length = rules.CharLength(bytes, pos);
    } else if (size - pos >= 4) {
      const auto high = static_cast<unsigned char>(block[pos + (m_source == Encoding::Utf16Le)]);
      if (high >= 0xD8 && high <= 0xDB) length = 4;
    }
    length = std::min(length, size - pos);
    CodecStage stage = CodecStage::Decoder(m_source, m_bKeepSurrogates);
    char text[32];
    char* to = text;
    std::size_t toLeft = sizeof text;
    const char* in = block + pos;
    std::size_t inLeft = length;
    while (inLeft > 0) {
      const CodecStage::Result result = stage.Step(in, inLeft, to, toLeft, true);
      if (result.end != CodecStage::End::Invalid) break;
      stage.Replace(in, result.length, to, toLeft);
      in += result.length;
      inLeft -= result.length;
    }
    stage.Finish(to, toLeft);
    made += sizeof text - toLeft;
    if (made > utf8Bytes) return pos;
    pos += length;
  }
  return pos;
}

}  // namespace sekato::engine
