#include "sekato/textrules.h"

#include <cstring>

#include "asciitext.h"
#include "gbktext.h"
#include "utf8blockcheck.h"

namespace sekato::engine {

namespace {

constexpr std::size_t kIncomplete = static_cast<std::size_t>(-1);

constexpr bool IsDigit(unsigned char b) { return b >= 0x30 && b <= 0x39; }
constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Each rule tells how long the character at `p` is (walking) and whether it is valid:
// Valid gives its length, 0 for a byte that starts no valid character, kIncomplete when
// `left` ends inside it.

// GBK and Big5: one byte, or a lead byte 0x81–0xFE and a trail byte. They differ only in the
// trail bytes they take and in their full-width space.
template <class Rule>
struct DoubleByteRule {
  static constexpr bool kSelfSync = false;
  static std::size_t Length(const unsigned char* p, std::size_t left) {
    return GbkText::IsLead(p[0]) && left >= 2 ? 2 : 1;
  }
  static std::size_t Valid(const unsigned char* p, std::size_t left) {
    if (p[0] < 0x80) return 1;
    if (!GbkText::IsLead(p[0])) return 0;
    if (left < 2) return kIncomplete;
    return Rule::IsTrail(p[1]) ? 2 : 0;
  }
};

struct GbkRule : DoubleByteRule<GbkRule> {
  static constexpr Encoding kEncoding = Encoding::Gbk;
  static constexpr std::string_view kFullWidthSpace = "\xA1\xA1";
  static constexpr bool IsTrail(unsigned char b) { return b >= 0x40 && b != 0x7F && b != 0xFF; }
};

struct Big5Rule : DoubleByteRule<Big5Rule> {
  static constexpr Encoding kEncoding = Encoding::Big5;
  static constexpr std::string_view kFullWidthSpace = "\xA1\x40";
  static constexpr bool IsTrail(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b != 0xFF);
  }
};

// GB18030 is GBK with four-byte characters: lead, digit, lead, digit.
struct Gb18030Rule {
  static constexpr Encoding kEncoding = Encoding::Gb18030;
  static constexpr std::string_view kFullWidthSpace = "\xA1\xA1";
  static constexpr bool kSelfSync = false;
  static std::size_t Length(const unsigned char* p, std::size_t left) {
    if (!GbkText::IsLead(p[0]) || left < 2) return 1;
    if (IsDigit(p[1]) && left >= 4 && GbkText::IsLead(p[2]) && IsDigit(p[3])) return 4;
    return 2;
  }
  static std::size_t Valid(const unsigned char* p, std::size_t left) {
    // As in GBK unless a lead byte is followed by a digit.
    if (!GbkText::IsLead(p[0]) || left < 2 || !IsDigit(p[1])) return GbkRule::Valid(p, left);
    if (left >= 3 && !GbkText::IsLead(p[2])) return 0;
    if (left < 4) return kIncomplete;
    return IsDigit(p[3]) ? 4 : 0;
  }
};

struct Utf8Rule {
  static constexpr Encoding kEncoding = Encoding::Utf8;
  static constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
  static constexpr bool kSelfSync = true;
  static std::size_t Length(const unsigned char* p, std::size_t left) {
    const std::size_t valid = Valid(p, left);
    return valid == 0 || valid == kIncomplete ? 1 : valid;
  }
  // The same for text written as UTF-16: there a lone surrogate kept from a UTF-16 source
  // (ED A0 80 … ED BF BF) is one character, written back as one code unit.
  static std::size_t LengthAsWritten(const unsigned char* p, std::size_t left) {
    const bool surrogate =
        p[0] == 0xED && left >= 3 && p[1] >= 0xA0 && p[1] <= 0xBF && IsContinuation(p[2]);
    return surrogate ? 3 : Length(p, left);
  }
  static std::size_t Valid(const unsigned char* p, std::size_t left) {
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80;   // the range of the second byte rules out overlong forms,
    unsigned char high = 0xBF;  // surrogates and code points above U+10FFFF
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
      if (i >= left) return kIncomplete;
      const unsigned char c = p[i];
      if (i == 1 ? (c < low || c > high) : !IsContinuation(c)) return 0;
    }
    return length;
  }
};

template <class Rule, bool kUtf16Output>
class EncodedRules : public TextRules {
 public:
  Encoding TextEncoding() const override { return Rule::kEncoding; }
  Encoding OutputEncoding() const override { return kUtf16Output ? m_output : Rule::kEncoding; }
  explicit EncodedRules(Encoding output = Rule::kEncoding) : m_output(output) {}

  std::size_t CharLength(std::string_view text, std::size_t pos) const override {
    if constexpr (kUtf16Output) {
      return Rule::LengthAsWritten(Bytes(text) + pos, text.size() - pos);
    } else {
      return Rule::Length(Bytes(text) + pos, text.size() - pos);
    }
  }

  std::size_t Find(std::string_view text, std::string_view needle,
                   std::size_t from) const override {
    std::size_t boundary = 0;
    return FindFrom(text, needle, from, boundary);
  }

  std::size_t BoundaryAtOrBelow(std::string_view text, std::size_t room) const override {
    if (room >= text.size()) return text.size();
    if constexpr (Rule::kSelfSync) {
      std::size_t pos = room;
      while (pos > 0 && room - pos < 3 && IsContinuation(Bytes(text)[pos])) --pos;
      return IsContinuation(Bytes(text)[pos]) ? room : pos;
    } else {
      std::size_t boundary = 0;
      while (true) {
        const std::size_t next = boundary + CharLength(text, boundary);
        if (next > room) return boundary;
        boundary = next;
      }
    }
  }

  std::size_t WidenFullWidthSpaces(char* data, std::size_t size) const override {
    constexpr std::string_view kSpace = Rule::kFullWidthSpace;
    const std::string_view text(data, size);
    std::size_t out = 0;   // bytes kept so far
    std::size_t done = 0;  // bytes of the input taken so far
    std::size_t boundary = 0;
    std::size_t pos = 0;
    while ((pos = FindSpace(text, pos, boundary)) != npos) {
      if (out != done) std::memmove(data + out, data + done, pos - done);
      out += pos - done;
      data[out++] = ' ';
      data[out++] = ' ';
      pos += kSpace.size();
      done = boundary = pos;
    }
    if (out != done) std::memmove(data + out, data + done, size - done);
    return out + (size - done);
  }

  std::string_view FullWidthSpace() const override { return Rule::kFullWidthSpace; }

  std::string RemoveFullWidthSpaces(std::string_view text) const override {
    constexpr std::string_view kSpace = Rule::kFullWidthSpace;
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    std::size_t pos = 0;
    std::size_t boundary = 0;
    while ((pos = FindFrom(text, kSpace, pos, boundary)) != npos) {
      out.append(text.substr(start, pos - start));
      pos += kSpace.size();
      start = boundary = pos;
    }
    out.append(text.substr(start));
    return out;
  }

  bool FitsTitle(std::string_view line, std::int64_t limit) const override {
    const auto size = static_cast<std::int64_t>(line.size());
    if (size <= limit) return true;  // no character measures more than its bytes
    if constexpr (Rule::kEncoding == Encoding::Gbk || Rule::kEncoding == Encoding::Big5) {
      return false;  // one and two bytes: the measure is the size
    } else {
      if (limit < 0 || size / 2 > limit) return false;  // no character measures under half
      std::int64_t measure = 0;
      for (std::size_t pos = 0; pos < line.size();) {
        const std::size_t length = CharLength(line, pos);
        measure += length == 1 && Bytes(line)[pos] < 0x80 ? 1 : 2;
        pos += length;
      }
      return measure <= limit;
    }
  }

  std::int64_t Written(std::string_view text) const override {
    if constexpr (!kUtf16Output) {
      return static_cast<std::int64_t>(text.size());
    } else {
      std::int64_t bytes = 0;
      for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        bytes += length == 4 ? 4 : 2;
        pos += length;
      }
      return bytes;
    }
  }

  std::size_t FitAtOrBelow(std::string_view text, std::int64_t room) const override {
    if (room <= 0) return 0;
    if constexpr (!kUtf16Output) {
      return BoundaryAtOrBelow(text, static_cast<std::size_t>(room));
    } else {
      std::int64_t bytes = 0;
      std::size_t pos = 0;
      while (pos < text.size()) {
        const std::size_t length = CharLength(text, pos);
        bytes += length == 4 ? 4 : 2;
        if (bytes > room) break;
        pos += length;
      }
      return pos;
    }
  }

  std::int64_t BreakBytes() const override { return kUtf16Output ? 4 : 2; }

  std::size_t ValidPrefix(const char* data, std::size_t size, bool& cutOff) const override {
    cutOff = false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    std::size_t pos = 0;
    if constexpr (Rule::kEncoding == Encoding::Utf8) pos = Utf8BlockCheck::ValidLength(p, size);
    while (pos < size) {
      // Runs of ASCII go eight bytes at a time.
      while (pos + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, p + pos, 8);
        if ((word & 0x8080808080808080ULL) != 0) break;
        pos += 8;
      }
      if (pos >= size) break;
      if constexpr (Rule::kEncoding == Encoding::Utf8) {
        // Most of a Chinese book: ASCII among three-byte characters from U+1000 to U+FFFF
        // (all but ED, whose second byte is narrower), one after another.
        while (pos + 3 <= size) {
          const unsigned char b = p[pos];
          if (b < 0x80) {
            ++pos;
          } else if (b >= 0xE1 && b <= 0xEF && b != 0xED && IsContinuation(p[pos + 1]) &&
                     IsContinuation(p[pos + 2])) {
            pos += 3;
          } else {
            break;
          }
        }
        if (pos >= size) break;
      }
      const std::size_t length = Rule::Valid(p + pos, size - pos);
      if (length == kIncomplete) cutOff = true;
      if (length == 0 || length == kIncomplete) return pos;
      pos += length;
    }
    return pos;
  }

 protected:
  static const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
  }

  // The first full-width space at or after `from`, as FindFrom finds it. In UTF-8 (E3 80 80)
  // its last two bytes are looked for: "80 80" ends only U+1000, U+2000 … U+F000, while
  // "E3 80" begins all the common punctuation (、。「」).
  std::size_t FindSpace(std::string_view text, std::size_t from, std::size_t& boundary) const {
    if constexpr (Rule::kEncoding == Encoding::Utf8) {
      for (std::size_t at = from + 1; (at = AsciiText::FindBytes(text, "\x80\x80", at)) != npos;
           ++at) {
        if (text[at - 1] == '\xE3') return at - 1;
      }
      return npos;
    } else {
      return FindFrom(text, Rule::kFullWidthSpace, from, boundary);
    }
  }

  // Find, given a character boundary at or before `from` to walk on from; `boundary` is left
  // at the match, so repeated searches walk each byte once.
  std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from,
                       std::size_t& boundary) const {
    if (from > text.size()) return npos;
    std::size_t searchFrom = from;
    while (true) {
      const std::size_t candidate = AsciiText::FindBytes(text, needle, searchFrom);
      if (candidate == npos) return npos;
      if constexpr (Rule::kSelfSync) {
        if (candidate == text.size() || !IsContinuation(Bytes(text)[candidate])) {
          return candidate;
        }
      } else {
        while (boundary < candidate) boundary += CharLength(text, boundary);
        if (boundary == candidate) return candidate;
      }
      searchFrom = candidate + 1;  // the candidate began inside a character
    }
  }

 private:
  Encoding m_output;
};

// GBK text keeps exactly the walks it has always had.
class GbkRules final : public EncodedRules<GbkRule, false> {
 public:
  std::size_t Find(std::string_view text, std::string_view needle,
                   std::size_t from) const override {
    return GbkText::Find(text, needle, from);
  }
  std::size_t BoundaryAtOrBelow(std::string_view text, std::size_t room) const override {
    return GbkText::BoundaryAtOrBelow(text, room);
  }
  std::size_t WidenFullWidthSpaces(char* data, std::size_t size) const override {
    GbkText::WidenFullWidthSpaces(data, size);
    return size;
  }
};

}  // namespace

std::string TextRules::NormaliseKeywords(std::string_view text) const {
  std::string copy(text);
  copy.resize(WidenFullWidthSpaces(copy.data(), copy.size()));
  return std::string(AsciiText::Trim(copy));
}

std::size_t TextRules::TrimmedLength(std::string_view text) const {
  // Only the tail made of blank bytes and bytes of a full-width space can be trimmed: it is
  // walked by characters from a boundary at or before it.
  const std::string_view space = FullWidthSpace();
  std::size_t tail = text.size();
  while (tail > 0) {
    const char c = text[tail - 1];
    if (!AsciiText::IsSpace(static_cast<unsigned char>(c)) && space.find(c) == npos) break;
    --tail;
  }
  std::size_t pos = BoundaryAtOrBelow(text, tail);
  std::size_t kept = pos;
  while (pos < text.size()) {
    const std::size_t length = CharLength(text, pos);
    const bool blank = length == 1 ? AsciiText::IsSpace(static_cast<unsigned char>(text[pos]))
                                   : text.substr(pos, length) == space;
    pos += length;
    if (!blank) kept = pos;
  }
  return kept;
}

const TextRules& TextRules::For(Encoding text, Encoding output) {
  static const GbkRules gbk;
  static const EncodedRules<Gb18030Rule, false> gb18030;
  static const EncodedRules<Big5Rule, false> big5;
  static const EncodedRules<Utf8Rule, false> utf8;
  static const EncodedRules<Utf8Rule, true> utf8ToLe(Encoding::Utf16Le);
  static const EncodedRules<Utf8Rule, true> utf8ToBe(Encoding::Utf16Be);
  switch (text) {
    case Encoding::Gb18030:
      return gb18030;
    case Encoding::Big5:
      return big5;
    case Encoding::Utf8:
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      if (output == Encoding::Utf16Le) return utf8ToLe;
      if (output == Encoding::Utf16Be) return utf8ToBe;
      return utf8;
    default:
      return gbk;
  }
}

}  // namespace sekato::engine
