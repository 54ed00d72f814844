#include "tabletranscoder.h"

#include <cstring>
#include <iconv.h>

namespace sekato::engine {

namespace {
constexpr std::uint32_t kPlaneSize = 0x10000;
constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}  // namespace

TableTranscoder::TableTranscoder(Encoding to) : m_codes(kPlaneSize, 0) {
  iconv_t cd = iconv_open(Encodings::IconvName(to), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
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
    unsigned char bytes[8];
    char* in = utf8;
    char* out = reinterpret_cast<char*>(bytes);
    std::size_t outLeft = sizeof bytes;
    const std::size_t rc = iconv(cd, &in, &length, &out, &outLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t written = sizeof bytes - outLeft;
    if (rc == static_cast<std::size_t>(-1) || length != 0) continue;
    // Only what reads back as a character of the target's own lengths is kept.
    if (written == 2 && bytes[0] >= 0x81) {
      m_codes[cp] = std::uint32_t{bytes[0]} << 8 | bytes[1];
    } else if (written == 4 && bytes[0] >= 0x81) {
      m_codes[cp] = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
                    std::uint32_t{bytes[2]} << 8 | bytes[3];
    }
  }
  iconv_close(cd);
}

const TableTranscoder* TableTranscoder::FromUtf8(Encoding to) {
  switch (to) {
    case Encoding::Gbk: {
      static const TableTranscoder gbk(Encoding::Gbk);
      return &gbk;
    }
    case Encoding::Gb18030: {
      static const TableTranscoder gb18030(Encoding::Gb18030);
      return &gb18030;
    }
    // Not Big5: its converter holds a character back to combine it with the next, which a
    // table that writes around it would put out of order.
    default: return nullptr;
  }
}

void TableTranscoder::Convert(const char*& in, std::size_t& inLeft, char*& out,
                              std::size_t& outLeft) const {
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const auto* const end = p + inLeft;
  auto* o = reinterpret_cast<unsigned char*>(out);
  auto* const outEnd = o + outLeft;
  const std::uint32_t* const codes = m_codes.data();
  while (p < end) {
    // The common case first: runs of ASCII and of three-byte characters with two-byte codes
    // (all of Chinese text), with room checked once for the longest step.
    while (end - p >= 3 && outEnd - o >= 2) {
      const unsigned char b = p[0];
      if (b < 0x80) {
        *o++ = b;
        ++p;
        continue;
      }
      // E1 to EF lead no overlong form; a surrogate (ED A0 to ED BF) is not in the table.
      if (b < 0xE1 || b > 0xEF || ((p[1] ^ 0x80) | (p[2] ^ 0x80)) > 0x3F) break;
      const std::uint32_t cp =
          (std::uint32_t{b} & 0x0F) << 12 | (std::uint32_t{p[1]} & 0x3F) << 6 | (p[2] & 0x3Fu);
      const std::uint32_t code = codes[cp];
      if (code - 1 > 0xFFFE) break;  // not in the table, or four bytes
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
      cp = (std::uint32_t{b} & 0x0F) << 12 | (std::uint32_t{p[1]} & 0x3F) << 6 | (p[2] & 0x3Fu);
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) break;  // overlong or a surrogate
      length = 3;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (end - p < 2 || !IsContinuation(p[1])) break;
      cp = (std::uint32_t{b} & 0x1F) << 6 | (p[1] & 0x3Fu);
      length = 2;
    } else {
      break;
    }
    const std::uint32_t code = codes[cp];
    if (code == 0) break;
    if (code <= 0xFFFF) {
      if (outEnd - o < 2) break;
      o[0] = static_cast<unsigned char>(code >> 8);
      o[1] = static_cast<unsigned char>(code);
      o += 2;
    } else {
      if (outEnd - o < 4) break;
      o[0] = static_cast<unsigned char>(code >> 24);
      o[1] = static_cast<unsigned char>(code >> 16);
      o[2] = static_cast<unsigned char>(code >> 8);
      o[3] = static_cast<unsigned char>(code);
      o += 4;
    }
    p += length;
  }
  inLeft -= static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(in));
  in = reinterpret_cast<const char*>(p);
  outLeft -= static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out));
  out = reinterpret_cast<char*>(o);
}

}  // namespace sekato::engine
