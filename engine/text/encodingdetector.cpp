#include "sekato/encodingdetector.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "fileops.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gbktext.h"
#include "sekato/textrules.h"

namespace sekato::engine {

namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && text.substr(0, start.size()) == start;
}

// Valid in `encoding` up to its end (or up to a character cut off by the end of a prefix).
bool ValidThroughout(std::string_view text, bool whole, Encoding encoding) {
  bool cutOff = false;
  const std::size_t valid = TextRules::For(encoding).ValidPrefix(text.data(), text.size(), cutOff);
  return valid == text.size() || (cutOff && !whole);
}

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// True when somewhere in `text` a byte from 0x81 to 0xFE, a digit, another such byte and a
// digit follow each other: the form of a four-byte GB18030 character, wherever it starts.
// Without one, no character can be of four bytes; a book in GBK has none.
bool MayHoldFourByteCharacters(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t pos = 0;
#if defined(__SSE2__)
  // Sixteen starts at a time: lead(x) is x ≥ 0x81 and x ≠ 0xFF, digit(x) is x − '0' ≤ 9.
  const __m128i leadLow = _mm_set1_epi8(static_cast<char>(0x81));
  const __m128i ff = _mm_set1_epi8(static_cast<char>(0xFF));
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i nine = _mm_set1_epi8(9);
  const auto lead = [&](__m128i x) {
    return _mm_andnot_si128(_mm_cmpeq_epi8(x, ff), _mm_cmpeq_epi8(_mm_max_epu8(x, leadLow), x));
  };
  const auto digit = [&](__m128i x) {
    const __m128i d = _mm_sub_epi8(x, zero);
    return _mm_cmpeq_epi8(_mm_min_epu8(d, nine), d);
  };
  for (; pos + 19 <= size; pos += 16) {
    const auto at = [&](std::size_t k) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos + k));
    };
    const __m128i form = _mm_and_si128(_mm_and_si128(lead(at(0)), digit(at(1))),
                                       _mm_and_si128(lead(at(2)), digit(at(3))));
    if (_mm_movemask_epi8(form) != 0) return true;
  }
#endif
  const auto isLead = [](unsigned char b) { return b >= 0x81 && b != 0xFF; };
  const auto isDigit = [](unsigned char b) { return b >= '0' && b <= '9'; };
  for (; pos + 4 <= size; ++pos) {
    if (isLead(p[pos]) && isDigit(p[pos + 1]) && isLead(p[pos + 2]) && isDigit(p[pos + 3])) {
      return true;
    }
  }
  return false;
}

// GBK, or GB18030 when a four-byte character stands anywhere in the prefix.
Encoding GbkFamily(std::string_view text) {
  if (!MayHoldFourByteCharacters(text)) return Encoding::Gbk;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  const auto digit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
  for (std::size_t pos = 0; pos < size;) {
    if (!GbkText::IsLead(p[pos]) || pos + 1 == size) {
      ++pos;
    } else if (digit(p[pos + 1]) && pos + 3 < size && GbkText::IsLead(p[pos + 2]) &&
               digit(p[pos + 3])) {
      return Encoding::Gb18030;
    } else {
      pos += 2;
    }
  }
  return Encoding::Gbk;
}

}  // namespace

Detection EncodingDetector::Detect(std::string_view prefix, bool whole, CharsetGuesser& guesser) {
  Detection found;
  for (const Encoding marked : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
    if (StartsWith(prefix, Encodings::ByteOrderMark(marked))) {
      found.encoding = marked;
      found.markBytes = Encodings::ByteOrderMark(marked).size();
      return found;
    }
  }
  // Text has no NUL bytes; UTF-16 has one in every ASCII character, line breaks included,
  // all on the same side of their pairs. Chinese in UTF-16 may have only a few, one or two a
  // paragraph: that they keep to one side gives it away.
  std::size_t nuls[2] = {0, 0};
  for (const char* nul = prefix.data();
       (nul = static_cast<const char*>(std::memchr(
            nul, '\0', prefix.size() - static_cast<std::size_t>(nul - prefix.data())))) != nullptr;
       ++nul) {
    ++nuls[static_cast<std::size_t>(nul - prefix.data()) % 2];
  }
  const std::size_t all = nuls[0] + nuls[1];
  const bool oneSide = std::max(nuls[0], nuls[1]) * 10 >= all * 9;
  if (all >= 2 && (oneSide || all * 200 >= prefix.size())) {
    found.unmarkedUtf16 = true;
    return found;
  }
  if (!HasNonAscii(prefix)) return found;  // ASCII reads the same in every encoding
  if (ValidThroughout(prefix, whole, Encoding::Utf8)) {
    found.encoding = Encoding::Utf8;
    return found;
  }
  const std::string guess = guesser.Guess(prefix.substr(0, kGuessBytes));
  if (guess == "UTF-8") {
    found.encoding = Encoding::Utf8;  // mostly UTF-8, with a stray byte
    return found;
  }
  if (guess.rfind("BIG5", 0) == 0 && ValidThroughout(prefix, whole, Encoding::Big5)) {
    const auto high =
        static_cast<std::size_t>(std::count_if(prefix.begin(), prefix.end(), [](char c) {
          return static_cast<unsigned char>(c) >= 0x80;
        }));
    if (high / 2 >= kMinBig5Characters) {
      found.encoding = Encoding::Big5;
      return found;
    }
  }
  found.encoding = GbkFamily(prefix);
  return found;
}

Detection EncodingDetector::Detect(std::string_view prefix, bool whole) {
  const auto guesser = CharsetGuesser::Make();
  return Detect(prefix, whole, *guesser);
}

Detection EncodingDetector::DetectFrom(const std::string& path, std::string_view prefix,
                                       bool whole) {
  const Detection found = Detect(prefix, whole);
  if (whole || found.unmarkedUtf16 || found.markBytes > 0 || HasNonAscii(prefix)) return found;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return found;
  // Where the first byte that is not ASCII lies, a character begins in every encoding: the
  // sample starts there.
  std::string chunk(std::size_t{1} << 20, '\0');
  auto offset = static_cast<std::int64_t>(prefix.size());
  const std::int64_t end = offset + kLookFurtherBytes;
  std::int64_t sampleStart = -1;
  while (offset < end && sampleStart < 0) {
    const ssize_t got = FileOps::ReadSomeAt(fd, chunk.data(), chunk.size(), offset);
    if (got <= 0) break;
    const std::string_view bytes(chunk.data(), static_cast<std::size_t>(got));
    const auto high = std::find_if(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (high != bytes.end()) sampleStart = offset + (high - bytes.begin());
    offset += got;
  }
  Detection further = found;
  if (sampleStart >= 0) {
    std::string sample(kPrefixBytes, '\0');
    int error = 0;
    const std::size_t got =
        FileOps::ReadFullyAt(fd, sample.data(), sample.size(), sampleStart, error);
    sample.resize(got);
    const Detection later = Detect(sample, got < kPrefixBytes);
    // Only an encoding counts there: a mark or NUL bytes in the middle of a book say nothing.
    if (!later.unmarkedUtf16 && later.markBytes == 0) further.encoding = later.encoding;
  }
  ::close(fd);
  return further;
}

std::size_t EncodingDetector::MarkBytes(std::string_view prefix, Encoding chosen) {
  const std::string_view mark = Encodings::ByteOrderMark(chosen);
  return !mark.empty() && StartsWith(prefix, mark) ? mark.size() : 0;
}

bool EncodingDetector::ReadPrefix(const std::string& path, std::string& prefix, bool& whole,
                                  std::string& error) {
  // A pipe cannot be read twice, nor opened without waiting for its writer: its bytes are
  // left to the split, which reads them as GBK. So is anything else that is not a file.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    prefix.clear();
    whole = true;
    return true;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // No more room than the file needs (one byte over, to see its end): a short book costs
  // no megabyte of zeroed memory.
  const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
  prefix.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kPrefixBytes, size + 1)));
  int reason = 0;
  const std::size_t got = FileOps::ReadFully(fd, prefix.data(), prefix.size(), reason);
  ::close(fd);
  if (reason != 0) {
    error = std::strerror(reason);
    return false;
  }
  whole = got < prefix.size();
  prefix.resize(got);
  return true;
}

std::optional<Detection> EncodingDetector::DetectFile(const std::string& path, std::string& error) {
  std::string prefix;
  bool whole = false;
  if (!ReadPrefix(path, prefix, whole, error)) return std::nullopt;
  return DetectFrom(path, prefix, whole);
}

}  // namespace sekato::engine
