#include "sourcedecoder.h"

#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tabletranscoder.h"
#include "textcodec.h"
#include "textrules.h"

namespace sekato::engine {

namespace {
constexpr std::size_t kRawSize = std::size_t{1} << 18;
constexpr std::size_t kMaxChar = 4;

iconv_t Descriptor(void* cd) { return static_cast<iconv_t>(cd); }
}  // namespace

SourceDecoder::SourceDecoder(Encoding source, Encoding text, std::size_t markBytes)
    : m_source(source), m_text(text), m_nSkip(markBytes) {
  if (source != text || Encodings::IsUtf16(source)) {
    iconv_t cd = iconv_open(Encodings::IconvName(text), Encodings::IconvName(source));
    if (cd != reinterpret_cast<iconv_t>(-1)) m_cd = cd;
    m_raw.resize(kRawSize);
    if (source == Encoding::Utf8) m_pTable = TableTranscoder::FromUtf8(text);
    if (text == Encoding::Utf8) m_pTable = TableTranscoder::ToUtf8(source);
  }
}

SourceDecoder::~SourceDecoder() {
  if (m_cd != nullptr) iconv_close(Descriptor(m_cd));
}

ssize_t SourceDecoder::ReadRaw(int fd, char* out, std::size_t capacity) {
  while (true) {
    const ssize_t got = ::read(fd, out, capacity);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

ssize_t SourceDecoder::Read(int fd, char* out, std::size_t capacity) {
  if (m_cd != nullptr) return Convert(fd, out, capacity);
  if (!m_raw.empty()) {  // the conversion could not be set up
    m_strError = std::string("iconv: ") + Encodings::IconvName(m_source);
    errno = EINVAL;
    return -1;
  }
  while (true) {
    ssize_t got = ReadRaw(fd, out, capacity);
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
      NoteInvalid(base - static_cast<std::int64_t>(carried) + static_cast<std::int64_t>(valid));
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
  NoteInvalid(base + static_cast<std::int64_t>(end));
}

std::size_t SourceDecoder::SourceCharLength(const char* p, std::size_t left) const {
  if (Encodings::IsUtf16(m_source)) {
    if (left < 2) return 0;
    const auto unit = [&](std::size_t i) {
      const auto a = static_cast<unsigned char>(p[i]);
      const auto b = static_cast<unsigned char>(p[i + 1]);
      return m_source == Encoding::Utf16Le ? (b << 8 | a) : (a << 8 | b);
    };
    const int first = unit(0);
    if (first >= 0xDC00 && first <= 0xDFFF) return 0;
    if (first < 0xD800 || first > 0xDBFF) return 2;
    if (left < 4) return 0;
    const int second = unit(2);
    return second >= 0xDC00 && second <= 0xDFFF ? 4 : 0;
  }
  bool cutOff = false;
  const std::size_t valid =
      TextRules::For(m_source).ValidPrefix(p, std::min(left, kMaxChar), cutOff);
  if (valid == 0) return 0;
  return TextRules::For(m_source).CharLength(std::string_view(p, std::min(left, kMaxChar)), 0);
}

std::size_t SourceDecoder::Transcode(char*& in, std::size_t& inLeft, char*& out,
                                     std::size_t& outLeft) {
  if (m_pTable == nullptr) return iconv(Descriptor(m_cd), &in, &inLeft, &out, &outLeft);
  while (true) {
    const char* from = in;
    m_pTable->Convert(from, inLeft, out, outLeft);
    in = const_cast<char*>(from);
    if (inLeft == 0) return 0;
    // What the table leaves goes to iconv one character at a time, errors and all.
    const std::size_t length = m_pTable->StepLength(in, inLeft);
    std::size_t left = length;
    const std::size_t rc = iconv(Descriptor(m_cd), &in, &left, &out, &outLeft);
    inLeft -= length - left;
    if (rc == static_cast<std::size_t>(-1)) return rc;
  }
}

ssize_t SourceDecoder::Convert(int fd, char* out, std::size_t capacity) {
  std::size_t produced = 0;
  bool needMore = m_rawBegin == m_rawEnd;
  while (true) {
    if (needMore && !m_bEof) {
      // Keep what is left (a character cut off by the end of the last read) at the front.
      const std::size_t left = m_rawEnd - m_rawBegin;
      std::memmove(m_raw.data(), m_raw.data() + m_rawBegin, left);
      m_rawBegin = 0;
      m_rawEnd = left;
      const ssize_t got = ReadRaw(fd, m_raw.data() + m_rawEnd, m_raw.size() - m_rawEnd);
      if (got < 0) return produced > 0 ? static_cast<ssize_t>(produced) : -1;
      if (got == 0) m_bEof = true;
      m_rawEnd += static_cast<std::size_t>(got);
      if (m_nSkip > 0) {
        const std::size_t drop = std::min(m_nSkip, m_rawEnd - m_rawBegin);
        m_rawBegin += drop;
        m_nConsumed += static_cast<std::int64_t>(drop);
        m_nSkip -= drop;
      }
    }
    needMore = false;
    if (m_rawBegin == m_rawEnd) {
      if (m_bEof && !m_bFlushed) {
        // A converter may hold the last character back to see whether the next one combines
        // with it (Big5-HKSCS does): at the end it must let go of it.
        constexpr std::size_t kHeldMax = 8;
        if (capacity - produced < kHeldMax && produced > 0) return static_cast<ssize_t>(produced);
        char* to = out + produced;
        std::size_t toLeft = capacity - produced;
        iconv(Descriptor(m_cd), nullptr, nullptr, &to, &toLeft);
        produced = capacity - toLeft;
        m_bFlushed = true;
      }
      if (m_bEof) return static_cast<ssize_t>(produced);
      needMore = true;
      continue;
    }
    char* in = m_raw.data() + m_rawBegin;
    std::size_t inLeft = m_rawEnd - m_rawBegin;
    char* to = out + produced;
    std::size_t toLeft = capacity - produced;
    const std::size_t rc = Transcode(in, inLeft, to, toLeft);
    const int error = errno;
    m_nConsumed += static_cast<std::int64_t>(m_rawEnd - m_rawBegin - inLeft);
    m_rawBegin = m_rawEnd - inLeft;
    produced = capacity - toLeft;
    if (rc != static_cast<std::size_t>(-1)) {
      if (produced > 0) return static_cast<ssize_t>(produced);
      needMore = true;
      continue;
    }
    if (error == E2BIG) return static_cast<ssize_t>(produced);
    const char* at = m_raw.data() + m_rawBegin;
    const std::size_t left = m_rawEnd - m_rawBegin;
    if (error == EINVAL && !m_bEof) {  // a character cut off by the end of the read
      if (produced > 0) return static_cast<ssize_t>(produced);
      needMore = true;
      continue;
    }
    const std::size_t length = error == EINVAL ? 0 : SourceCharLength(at, left);
    if (length > 0) {
      std::string shown;
      TextCodec::ConvertPrefix(std::string_view(at, length), m_source, Encoding::Utf8, shown);
      m_strError = "第 " + std::to_string(m_nConsumed) + " 字节处的字符“" + shown + "”无法用 " +
                   std::string(Encodings::DisplayName(m_text)) + " 编码写出";
      errno = EILSEQ;
      return -1;
    }
    // Not a character of the source: kept as it is, and noted.
    const std::size_t keep = Encodings::IsUtf16(m_source) ? std::min<std::size_t>(2, left) : 1;
    if (capacity - produced < keep) return static_cast<ssize_t>(produced);
    NoteInvalid(m_nConsumed);
    std::memcpy(out + produced, at, keep);
    produced += keep;
    m_rawBegin += keep;
    m_nConsumed += static_cast<std::int64_t>(keep);
    iconv(Descriptor(m_cd), nullptr, nullptr, nullptr, nullptr);
  }
}

}  // namespace sekato::engine
