#include "codecstage.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "sekato/textrules.h"
#include "tabletranscoder.h"

namespace sekato::engine {

namespace {

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kGb18030Replacement = "\x84\x31\xA4\x37";

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The name iconv knows the encoding by on the side that is not UTF-8: GBK is read and
// written through GB18030 (what GBK cannot hold is left out before iconv sees it).
const char* IconvSide(Encoding encoding) {
  return encoding == Encoding::Gbk ? "GB18030" : Encodings::IconvName(encoding);
}

// Text converted in each direction (into UTF-8 or out of it) so far in the process while the
// table was not yet worth building. Building it asks iconv for every character once (a few
// milliseconds); below this, a character at a time costs less.
constexpr std::size_t kTableWorthFrom = 4096;
std::atomic<std::size_t> g_convertedWithoutTable[2];

}  // namespace

CodecStage CodecStage::Decoder(Encoding source, bool keepSurrogates, Table table) {
  return CodecStage(source == Encoding::Auto ? Encoding::Gbk : source, true, keepSurrogates, table);
}

CodecStage CodecStage::Encoder(Encoding target, Table table) {
  return CodecStage(target == Encoding::Auto ? Encoding::Gbk : target, false, false, table);
}

CodecStage::CodecStage(Encoding other, bool toUtf8, bool keepSurrogates, Table table)
    : m_other(other),
      m_bToUtf8(toUtf8),
      m_bKeepSurrogates(keepSurrogates && Encodings::IsUtf16(other)),
      m_pInputRules(&TextRules::For(toUtf8 ? other : Encoding::Utf8)) {
  switch (other) {
    case Encoding::Gbk:
    case Encoding::Gb18030:
      // iconv takes what the table leaves: the four-byte characters of GB18030, and the few
      // two-byte codes whose character lies beyond U+FFFF. It takes everything but ASCII
      // while there is no table.
      m_table = table;
      m_bHasTable = true;
      if (table == Table::Always) ResolveTable(0);
      m_bNeedsIconv = true;
      break;
    case Encoding::Big5:
      m_bNeedsIconv = true;
      break;
    default:
      break;  // UTF-8 and UTF-16 by hand
  }
}

bool CodecStage::Usable() { return !m_bNeedsIconv || Converter() != nullptr; }

const IconvHandle* CodecStage::Converter() {
  if (!m_bIconvTried) {
    m_bIconvTried = true;
    const char* side = IconvSide(m_other);
    m_iconv = m_bToUtf8 ? IconvHandle("UTF-8", side) : IconvHandle(side, "UTF-8");
  }
  return m_iconv.Valid() ? &m_iconv : nullptr;
}

void CodecStage::ResolveTable(std::size_t bytes) {
  if (m_pTable != nullptr || !m_bHasTable || m_table == Table::Never) return;
  if (m_table == Table::WhenWorth) {
    std::atomic<std::size_t>& converted = g_convertedWithoutTable[m_bToUtf8 ? 1 : 0];
    if (converted.load(std::memory_order_relaxed) < kTableWorthFrom &&
        converted.fetch_add(bytes, std::memory_order_relaxed) + bytes < kTableWorthFrom) {
      return;
    }
  }
  m_pTable = m_bToUtf8 ? TableTranscoder::ToUtf8(m_other) : TableTranscoder::FromUtf8(m_other);
}

CodecStage::Result CodecStage::Step(const char*& in, std::size_t& inLeft, char*& out,
                                    std::size_t& outLeft, bool atEnd) {
  ResolveTable(inLeft);
  while (true) {
    Fast(in, inLeft, out, outLeft);
    if (inLeft == 0) return {End::Done, 0};
    const std::size_t length = CharAt(in, inLeft);
    if (length == kCut && !atEnd) return {End::CutOff, 0};
    if (length == 0 || length == kCut) {
      if (!FlushHeld(out, outLeft)) return {End::NoRoom, 0};
      // A character cut off by the end of the text is one fault, whatever its bytes.
      const bool utf16 = Encodings::IsUtf16(m_other);
      return {End::Invalid, length == kCut && !utf16 ? inLeft : InvalidLength(inLeft)};
    }
    const One one = ConvertOne(in, inLeft, length, out, outLeft);
    if (one == One::Done) continue;
    if (one == One::NoRoom || !FlushHeld(out, outLeft)) return {End::NoRoom, 0};
    if (m_bToUtf8) return {End::Invalid, length};  // a code the source leaves unassigned
    if (std::string_view(in, length) != kUtf8Replacement) return {End::Unwritable, length};
    if (!Replace(in, length, out, outLeft)) return {End::NoRoom, 0};
    in += length;
    inLeft -= length;
  }
}

void CodecStage::Fast(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  if (m_pTable != nullptr) {
    m_pTable->Convert(in, inLeft, out, outLeft);
  } else if (m_bHasTable) {
    CopyAscii(in, inLeft, out, outLeft);
  } else if (Encodings::IsUtf16(m_other)) {
    Utf16ToUtf8(in, inLeft, out, outLeft);
  } else if (m_other == Encoding::Utf8) {
    CopyValidUtf8(in, inLeft, out, outLeft);
  } else {
    IconvSpan(in, inLeft, out, outLeft);
  }
}

std::size_t CodecStage::CharAt(const char* in, std::size_t inLeft) const {
  if (Encodings::IsUtf16(m_other)) {
    const bool little = m_other == Encoding::Utf16Le;
    const auto unit = [&](std::size_t i) {
      const auto a = static_cast<unsigned char>(in[i]);
      const auto b = static_cast<unsigned char>(in[i + 1]);
      return little ? (b << 8 | a) : (a << 8 | b);
    };
    if (inLeft < 2) return kCut;
    const int first = unit(0);
    if (first < 0xD800 || first > 0xDFFF) return 2;
    if (first >= 0xDC00) return 0;
    if (inLeft < 4) return kCut;
    const int second = unit(2);
    return second >= 0xDC00 && second <= 0xDFFF ? 4 : 0;
  }
  const std::size_t look = std::min<std::size_t>(inLeft, 4);
  bool cutOff = false;
  if (m_pInputRules->ValidPrefix(in, look, cutOff) == 0) return cutOff ? kCut : 0;
  return m_pInputRules->CharLength(std::string_view(in, look), 0);
}

std::size_t CodecStage::InvalidLength(std::size_t inLeft) const {
  return Encodings::IsUtf16(m_other) && inLeft >= 2 ? 2 : 1;
}

CodecStage::One CodecStage::ConvertOne(const char*& in, std::size_t& inLeft, std::size_t length,
                                       char*& out, std::size_t& outLeft) {
  // Room for the character and what a converter held back before it.
  constexpr std::size_t kRoom = 16;
  const IconvHandle* converter = m_bNeedsIconv ? Converter() : nullptr;
  // Without iconv the fast way stops at a valid character only for want of room.
  if (converter == nullptr) return outLeft < 4 ? One::NoRoom : One::Refused;
  if (outLeft < kRoom) return One::NoRoom;
  char bytes[kRoom];
  char* from = const_cast<char*>(in);
  std::size_t left = length;
  char* to = bytes;
  std::size_t toLeft = sizeof bytes;
  const std::size_t rc = converter->Convert(from, left, to, toLeft);
  const auto written = static_cast<std::size_t>(to - bytes);
  // Written as GBK, a character must come out as one of its two-byte codes.
  const bool gbk = !m_bToUtf8 && m_other == Encoding::Gbk;
  const bool twoBytes = written == 2 && static_cast<unsigned char>(bytes[0]) >= 0x81;
  if (rc == static_cast<std::size_t>(-1) || left != 0 || (gbk && !twoBytes)) {
    std::memcpy(out, bytes, gbk ? 0 : written);  // what was held back before it, if anything
    out += gbk ? 0 : written;
    outLeft -= gbk ? 0 : written;
    return One::Refused;
  }
  std::memcpy(out, bytes, written);
  out += written;
  outLeft -= written;
  in += length;
  inLeft -= length;
  return One::Done;
}

bool CodecStage::FlushHeld(char*& out, std::size_t& outLeft) {
  if (!m_iconv.Valid()) return true;
  return m_iconv.Flush(out, outLeft) != static_cast<std::size_t>(-1);
}

bool CodecStage::Finish(char*& out, std::size_t& outLeft) { return FlushHeld(out, outLeft); }

bool CodecStage::Replace(const char* in, std::size_t length, char*& out,
                         std::size_t& outLeft) const {
  std::string_view bytes = kUtf8Replacement;
  char kept[3];
  if (m_bKeepSurrogates && length == 2) {
    const unsigned a = static_cast<unsigned char>(in[0]);
    const unsigned b = static_cast<unsigned char>(in[1]);
    const unsigned unit = m_other == Encoding::Utf16Le ? (b << 8 | a) : (a << 8 | b);
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      kept[0] = static_cast<char>(0xE0 | (unit >> 12));
      kept[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      kept[2] = static_cast<char>(0x80 | (unit & 0x3F));
      bytes = std::string_view(kept, 3);
    }
  } else if (!m_bToUtf8) {
    if (m_other == Encoding::Gb18030) bytes = kGb18030Replacement;
    if (m_other == Encoding::Gbk || m_other == Encoding::Big5) bytes = "?";
  }
  if (outLeft < bytes.size()) return false;
  std::memcpy(out, bytes.data(), bytes.size());
  out += bytes.size();
  outLeft -= bytes.size();
  return true;
}

const char* CodecStage::ReplacementName(const char* in, std::size_t length) const {
  char bytes[4];
  char* out = bytes;
  std::size_t left = sizeof bytes;
  Replace(in, length, out, left);
  const std::string_view written(bytes, sizeof bytes - left);
  if (written == "?") return "?";
  return written == kUtf8Replacement || written == kGb18030Replacement ? "U+FFFD" : "";
}

void CodecStage::Utf16ToUtf8(const char*& in, std::size_t& inLeft, char*& out,
                             std::size_t& outLeft) const {
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const auto* const end = p + inLeft;
  auto* o = reinterpret_cast<unsigned char*>(out);
  auto* const outEnd = o + outLeft;
  const bool little = m_other == Encoding::Utf16Le;
  const auto unit = [little](const unsigned char* at) -> std::uint32_t {
    return little ? (std::uint32_t{at[1]} << 8 | at[0]) : (std::uint32_t{at[0]} << 8 | at[1]);
  };
  while (end - p >= 2 && outEnd - o >= 4) {
    std::uint32_t cp = unit(p);
    if (cp < 0x80) {
      *o++ = static_cast<unsigned char>(cp);
      p += 2;
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      if (cp >= 0xDC00 || end - p < 4) break;
      const std::uint32_t low = unit(p + 2);
      if (low < 0xDC00 || low > 0xDFFF) break;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      o[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
      o[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      o[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      o[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      o += 4;
      p += 4;
      continue;
    }
    if (cp < 0x800) {
      o[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
      o[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      o += 2;
    } else {
      o[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
      o[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      o[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      o += 3;
    }
    p += 2;
  }
  inLeft -= static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(in));
  in = reinterpret_cast<const char*>(p);
  outLeft -= static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out));
  out = reinterpret_cast<char*>(o);
}

void CodecStage::CopyAscii(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  std::size_t n = 0;
  const std::size_t most = std::min(inLeft, outLeft);
  while (n < most && static_cast<unsigned char>(in[n]) < 0x80) ++n;
  std::memcpy(out, in, n);
  in += n;
  inLeft -= n;
  out += n;
  outLeft -= n;
}

void CodecStage::CopyValidUtf8(const char*& in, std::size_t& inLeft, char*& out,
                               std::size_t& outLeft) const {
  // No further than the output can take: a small output never costs a look at all the input.
  bool cutOff = false;
  std::size_t take = m_pInputRules->ValidPrefix(in, std::min(inLeft, outLeft + 4), cutOff);
  if (take > outLeft) {  // back to where the character that does not fit begins
    take = outLeft;
    while (take > 0 && IsContinuation(static_cast<unsigned char>(in[take]))) --take;
  }
  std::memcpy(out, in, take);
  in += take;
  inLeft -= take;
  out += take;
  outLeft -= take;
}

void CodecStage::IconvSpan(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  // iconv sees only valid text: what stops it there is want of room or a character it
  // refuses, which Step looks at one character at a time.
  bool cutOff = false;
  const std::size_t look = std::min(inLeft, 2 * outLeft + 16);  // no more than fits, as above
  const std::size_t span = m_pInputRules->ValidPrefix(in, look, cutOff);
  const IconvHandle* converter = span > 0 ? Converter() : nullptr;
  if (converter == nullptr) return;
  char* from = const_cast<char*>(in);
  std::size_t left = span;
  converter->Convert(from, left, out, outLeft);
  inLeft -= span - left;
  in = from;
}

}  // namespace sekato::engine
