#include "tabletranscoder.h"

#include <algorithm>
#include <iconv.h>

namespace sekato::engine {

namespace {

constexpr std::uint32_t kPlaneSize = 0x10000;
constexpr std::uint32_t kTrails = 192;  // 0x40 to 0xFF
constexpr std::uint32_t kCodes = 126 * kTrails;

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Converts the one character in `in` with `cd`; the bytes written, or 0 when it cannot.
std::size_t ConvertOne(iconv_t cd, char* in, std::size_t length, unsigned char (&bytes)[8]) {
  char* out = reinterpret_cast<char*>(bytes);
  std::size_t outLeft = sizeof bytes;
  const std::size_t rc = iconv(cd, &in, &length, &out, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  return rc == static_cast<std::size_t>(-1) || length != 0 ? 0 : sizeof bytes - outLeft;
}

}  // namespace

TableTranscoder::TableTranscoder(Encoding other, bool toUtf8) : m_bToUtf8(toUtf8) {
  const char* name = Encodings::IconvName(other);
  iconv_t cd = toUtf8 ? iconv_open("UTF-8", name) : iconv_open(name, "UTF-8");
  if (toUtf8) {
    m_chars.assign(kCodes, 0);
  } else {
    m_codes.assign(kPlaneSize, 0);
  }
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  unsigned char bytes[8];
  if (toUtf8) {
    for (std::uint32_t code = 0; code < kCodes; ++code) {
      char in[2] = {static_cast<char>(0x81 + code / kTrails), static_cast<char>(0x40 + code % kTrails)};
      const std::size_t written = ConvertOne(cd, in, 2, bytes);
      if (written < 1 || written > 3) continue;
      std::uint32_t entry = static_cast<std::uint32_t>(written) << 24;
      for (std::size_t i = 0; i < written; ++i) entry |= std::uint32_t{bytes[i]} << (16 - 8 * i);
      m_chars[code] = entry;
    }
  } else {
    for (std::uint32_t cp = 0x80; cp < kPlaneSize; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      char utf8[3];
      std::size_t length;
      if (cp < 0x800) {
        utf8[0] = static_cast<char>(0xC0 | (cp >> 6));
        utf8[1] = static_cast<char>(0x80 | (cp & 0x3F));
        length = 2;
      } else {
        utf8[0] = static_cast<char>(0xE0 | (cp >> 12));
        utf8[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        utf8[2] = static_cast<char>(0x80 | (cp & 0x3F));
        length = 3;
      }
      const std::size_t written = ConvertOne(cd, utf8, length, bytes);
      if (written == 2 && bytes[0] >= 0x81) {
        m_codes[cp] = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
      }
    }
  }
  iconv_close(cd);
}

template <Encoding kOther, bool kToUtf8>
const TableTranscoder* TableTranscoder::Shared() {
  static const TableTranscoder table(kOther, kToUtf8);
  return &table;
}

const TableTranscoder* TableTranscoder::FromUtf8(Encoding to) {
  if (to == Encoding::Gbk) return Shared<Encoding::Gbk, false>();
  if (to == Encoding::Gb18030) return Shared<Encoding::Gb18030, false>();
  return nullptr;
}

const TableTranscoder* TableTranscoder::ToUtf8(Encoding from) {
  if (from == Encoding::Gbk) return Shared<Encoding::Gbk, true>();
  if (from == Encoding::Gb18030) return Shared<Encoding::Gb18030, true>();
  return nullptr;
}

std::size_t TableTranscoder::StepLength(const char* p, std::size_t left) const {
  const auto lead = static_cast<unsigned char>(*p);
  std::size_t length;
  if (!m_bToUtf8) {
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  } else if (lead < 0x81 || lead == 0xFF) {
    length = 1;
  } else {
    const bool digit = left >= 2 && p[1] >= '0' && p[1] <= '9';  // GB18030 four bytes
    length = digit ? 4 : 2;
  }
  return std::min(length, left);
}

void TableTranscoder::Convert(const char*& in, std::size_t& inLeft, char*& out,
                              std::size_t& outLeft) const {
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const auto* const start = p;
  auto* o = reinterpret_cast<unsigned char*>(out);
  auto* const outStart = o;
  if (m_bToUtf8) {
    ConvertToUtf8(p, p + inLeft, o, o + outLeft);
  } else {
    ConvertFromUtf8(p, p + inLeft, o, o + outLeft);
  }
  inLeft -= static_cast<std::size_t>(p - start);
  in = reinterpret_cast<const char*>(p);
  outLeft -= static_cast<std::size_t>(o - outStart);
  out = reinterpret_cast<char*>(o);
}

void TableTranscoder::ConvertToUtf8(const unsigned char*& in, const unsigned char* end,
                                    unsigned char*& out, unsigned char* outEnd) const {
  // Locals, so the compiler need not fear that a byte written changes where they point.
  const unsigned char* p = in;
  unsigned char* o = out;
  const std::uint32_t* const table = m_chars.data();
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      if (o == outEnd) break;
      *o++ = b;
      ++p;
      continue;
    }
    if (end - p < 2 || b == 0x80 || b == 0xFF || p[1] < 0x40) break;
    const std::uint32_t entry = table[(b - 0x81u) * kTrails + (p[1] - 0x40u)];
    const std::size_t length = entry >> 24;
    if (length == 0 || static_cast<std::size_t>(outEnd - o) < length) break;
    o[0] = static_cast<unsigned char>(entry >> 16);
    if (length > 1) o[1] = static_cast<unsigned char>(entry >> 8);
    if (length > 2) o[2] = static_cast<unsigned char>(entry);
    o += length;
    p += 2;
  }
  in = p;
  out = o;
}

void TableTranscoder::ConvertFromUtf8(const unsigned char*& in, const unsigned char* end,
                                      unsigned char*& out, unsigned char* outEnd) const {
  const unsigned char* p = in;
  unsigned char* o = out;
  const std::uint16_t* const codes = m_codes.data();
  while (p < end) {
    // The common case first: runs of ASCII and of three-byte characters (all of Chinese
    // text), with room checked once for the longest step.
    while (end - p >= 3 && outEnd - o >= 2) {
      const unsigned char b = p[0];
      if (b < 0x80) {
        *o++ = b;
        ++p;
        continue;
      }
      // E1 to EF lead no overlong form; a surrogate (ED A0 to ED BF) is not in the table.
      if (b < 0xE1 || b > 0xEF || ((p[1] ^ 0x80) | (p[2] ^ 0x80)) > 0x3F) break;
      const std::uint16_t code = codes[(b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu)];
      if (code == 0) break;
      o[0] = static_cast<unsigned char>(code >> 8);
      o[1] = static_cast<unsigned char>(code);
      o += 2;
      p += 3;
    }
    if (p == end) break;
    const unsigned char b = *p;
    if (b < 0x80) {
      if (o == outEnd) break;
      *o++ = b;
      ++p;
      continue;
    }
    std::uint32_t cp;
    std::size_t length;
    if (b >= 0xE0 && b <= 0xEF) {
      if (end - p < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2])) break;
      cp = (b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
      if (cp < 0x800) break;  // overlong
      length = 3;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (end - p < 2 || !IsContinuation(p[1])) break;
      cp = (b & 0x1Fu) << 6 | (p[1] & 0x3Fu);
      length = 2;
    } else {
      break;
    }
    const std::uint16_t code = codes[cp];
    if (code == 0 || outEnd - o < 2) break;
    o[0] = static_cast<unsigned char>(code >> 8);
    o[1] = static_cast<unsigned char>(code);
    o += 2;
    p += length;
  }
  in = p;
  out = o;
}

}  // namespace sekato::engine
