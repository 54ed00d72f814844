#include "tabletranscoder.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "iconvhandle.h"

namespace sekato::engine {

namespace {

constexpr std::uint32_t kPlaneSize = 0x10000;
constexpr std::uint32_t kTrails = 192;  // 0x40 to 0xFF
constexpr std::uint32_t kCodes = 126 * kTrails;

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Bytes of the GBK or GB18030 character that begins at `p`: by its lead and a digit after it.
std::size_t CodeLength(const unsigned char* p) {
  if (p[0] < 0x81 || p[0] == 0xFF) return 1;
  return p[1] >= '0' && p[1] <= '9' ? 4 : 2;
}

// Converts the characters of `input` (`starts`: where each begins, then the end) with `cd`
// a few dozen at a time rather than one a call, and hands each one's answer to `take`
// (index, bytes, length); a character iconv refuses is skipped. Small batches, because iconv
// redoes the rest of a batch after every refusal, and GBK refuses most of Unicode. `length`
// tells how long an answer is from its first bytes. False when the answers cannot be told
// apart character by character.
template <class Length, class Take>
bool ConvertAll(const IconvHandle& cd, std::string& input, const std::vector<std::size_t>& starts,
                Length length, Take take) {
  constexpr std::size_t kBatch = 32;
  const std::size_t count = starts.size() - 1;
  unsigned char output[4 * kBatch + 8];
  for (std::size_t next = 0; next < count;) {
    const std::size_t batchEnd = std::min(count, next + kBatch);
    char* in = input.data() + starts[next];
    std::size_t inLeft = starts[batchEnd] - starts[next];
    const unsigned char* parsed = output;
    char* out = reinterpret_cast<char*>(output);
    std::size_t outLeft = sizeof output;
    while (true) {
      const std::size_t rc = cd.Convert(in, inLeft, out, outLeft);
      const int error = errno;
      const auto* const written = reinterpret_cast<const unsigned char*>(out);
      const auto taken = static_cast<std::size_t>(in - input.data());
      // Every character before the one iconv stopped at gave exactly one answer.
      while (next < batchEnd && starts[next] < taken) {
        const std::size_t n = parsed < written ? length(parsed) : 0;
        if (n == 0 || parsed + n > written) return false;
        take(next++, parsed, n);
        parsed += n;
      }
      if (parsed != written) return false;
      if (rc != static_cast<std::size_t>(-1)) {
        if (next != batchEnd) return false;
        break;
      }
      if (error != EILSEQ || next >= batchEnd || starts[next] != taken) return false;
      const std::size_t skip = starts[next + 1] - starts[next];
      in += skip;
      inLeft -= skip;
      ++next;
      cd.Reset();
    }
  }
  return true;
}

// Converts the one character in `in` with `cd`; the bytes written, or 0 when it cannot.
std::size_t ConvertOne(const IconvHandle& cd, char* in, std::size_t length,
                       unsigned char (&bytes)[8]) {
  char* out = reinterpret_cast<char*>(bytes);
  std::size_t outLeft = sizeof bytes;
  const std::size_t rc = cd.Convert(in, length, out, outLeft);
  cd.Reset();
  return rc == static_cast<std::size_t>(-1) || length != 0 ? 0 : sizeof bytes - outLeft;
}

// UTF-8 of a code point below U+10000 into `to`; its length.
std::size_t EncodeUtf8(std::uint32_t cp, unsigned char* to) {
  if (cp < 0x80) {
    to[0] = static_cast<unsigned char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    to[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
    to[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 2;
  }
  to[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
  to[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
  to[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
  return 3;
}

void PutUcs4(char* to, std::uint32_t cp) {
  for (int i = 0; i < 4; ++i) to[i] = static_cast<char>(cp >> (8 * i));
}

std::uint32_t ReadUcs4(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

}  // namespace

TableTranscoder::TableTranscoder(Encoding other, bool toUtf8) : m_bToUtf8(toUtf8) {
  if (toUtf8) {
    m_chars.assign(kCodes, 0);
  } else {
    m_codes.assign(kPlaneSize, 0);
  }
  // The table is iconv's answer for each character. They are asked for all at once, as
  // code points (UCS-4): a character at a time, through UTF-8, costs a run several
  // milliseconds.
  const char* name = Encodings::IconvName(other);
  const IconvHandle cd = toUtf8 ? IconvHandle("UCS-4LE", name) : IconvHandle(name, "UCS-4LE");
  if (!cd.Valid()) return;
  std::string input;
  std::vector<std::size_t> starts;
  std::vector<std::uint32_t> keys;  // two-byte code index, or code point
  const std::size_t count = toUtf8 ? kCodes : kPlaneSize;
  input.resize(4 * count);
  starts.reserve(count + 1);
  keys.reserve(count);
  std::size_t size = 0;
  if (toUtf8) {
    for (std::uint32_t code = 0; code < kCodes; ++code) {
      starts.push_back(size);
      keys.push_back(code);
      input[size++] = static_cast<char>(0x81 + code / kTrails);
      input[size++] = static_cast<char>(0x40 + code % kTrails);
    }
  } else {
    for (std::uint32_t cp = 0x80; cp < kPlaneSize; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      starts.push_back(size);
      keys.push_back(cp);
      PutUcs4(input.data() + size, cp);
      size += 4;
    }
  }
  input.resize(size);
  starts.push_back(size);
  const auto enter = [&](std::size_t i, const unsigned char* bytes, std::size_t written) {
    if (!toUtf8) {
      if (written == 2 && bytes[0] >= 0x81) {
        m_codes[keys[i]] = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
      }
      return;
    }
    const std::uint32_t cp = written == 4 ? ReadUcs4(bytes) : kPlaneSize;
    if (cp >= kPlaneSize || (cp >= 0xD800 && cp <= 0xDFFF)) return;
    unsigned char utf8[3];
    const std::size_t length = EncodeUtf8(cp, utf8);
    std::uint32_t entry = static_cast<std::uint32_t>(length) << 24;
    for (std::size_t k = 0; k < length; ++k) entry |= std::uint32_t{utf8[k]} << (16 - 8 * k);
    m_chars[keys[i]] = entry;
  };
  const auto answerLength = [toUtf8](const unsigned char* p) {
    return toUtf8 ? std::size_t{4} : CodeLength(p);
  };
  if (!ConvertAll(cd, input, starts, answerLength, enter)) {
    // Answers that cannot be told apart: each character is asked alone.
    cd.Reset();
    if (toUtf8) m_chars.assign(kCodes, 0);
    if (!toUtf8) m_codes.assign(kPlaneSize, 0);
    unsigned char bytes[8];
    for (std::size_t i = 0; i < keys.size(); ++i) {
      enter(i, bytes, ConvertOne(cd, input.data() + starts[i], starts[i + 1] - starts[i], bytes));
    }
  }
}

template <Encoding kOther, bool kToUtf8>
const TableTranscoder* TableTranscoder::Shared() {
  static const TableTranscoder table(kOther, kToUtf8);
  return &table;
}

// GBK is read and written as GB18030's two-byte codes, which the tables hold in full: one
// table serves both.
const TableTranscoder* TableTranscoder::FromUtf8(Encoding to) {
  if (to == Encoding::Gbk || to == Encoding::Gb18030) return Shared<Encoding::Gb18030, false>();
  return nullptr;
}

const TableTranscoder* TableTranscoder::ToUtf8(Encoding from) {
  if (from == Encoding::Gbk || from == Encoding::Gb18030) return Shared<Encoding::Gb18030, true>();
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
    // A step reads up to three bytes and writes no more than it read: from before `stop`
    // it neither reads past the end of the input nor writes past that of the output.
    const std::size_t room =
        std::min(static_cast<std::size_t>(end - p), static_cast<std::size_t>(outEnd - o));
    const unsigned char* const stop = room >= 3 ? p + room - 2 : p;
    while (p < stop) {
      const unsigned b = p[0];
      if (b < 0x80) {
        *o++ = static_cast<unsigned char>(b);
        ++p;
        continue;
      }
      // E1 to EF lead no overlong form; a surrogate (ED A0 to ED BF) is not in the table.
      const unsigned c1 = p[1] ^ 0x80u;  // a continuation byte becomes 0 to 0x3F
      const unsigned c2 = p[2] ^ 0x80u;
      if (b - 0xE1u > 0x0Eu || (c1 | c2) > 0x3Fu) break;
      const std::uint16_t code = codes[(b & 0x0Fu) << 12 | c1 << 6 | c2];
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
