#include "gbktext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace sekato::engine {

namespace {

// Bytes in one character starting at `pos`; a lead byte at the very end stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  return GbkText::IsLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2
                                                                                          : 1;
}

// Sixteen bytes compared at once (GCC vector extension; plain code on any target).
using Bytes16 = unsigned char __attribute__((vector_size(16)));

// The first byte-for-byte match at or after `from`. The pair of the needle's first two bytes
// is looked for sixteen positions at a time: a first byte alone (0xA1 of "　", say) is
// common in GBK text as a trail byte, and stopping at each of those costs more than the scan.
std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from;
  if (needle.size() > text.size() || from > text.size() - needle.size()) return GbkText::npos;
  const auto* const data = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const needleData = reinterpret_cast<const unsigned char*>(needle.data());
  const std::size_t last = text.size() - needle.size();  // last possible start
  const auto matchesAt = [&](std::size_t pos) {
    return std::memcmp(data + pos, needleData, needle.size()) == 0;
  };
  std::size_t pos = from;
  if (needle.size() >= 2) {
    const Bytes16 first = Bytes16{} + needleData[0];
    const Bytes16 second = Bytes16{} + needleData[1];
    // A block tests the starts pos … pos + 15 and reads bytes pos … pos + 16. The last
    // block is moved back to end at the text's end (it may test a few starts again).
    const auto blockHit = [&](std::size_t at) -> std::size_t {
      Bytes16 a;
      Bytes16 b;
      std::memcpy(&a, data + at, 16);
      std::memcpy(&b, data + at + 1, 16);
      const auto hits = (a == first) & (b == second);
      std::uint64_t words[2];
      std::memcpy(words, &hits, sizeof words);
      if ((words[0] | words[1]) == 0) return GbkText::npos;
      for (std::size_t i = 0; i < 16; ++i) {
        if (hits[i] != 0 && at + i >= from && at + i <= last && matchesAt(at + i)) return at + i;
      }
      return GbkText::npos;
    };
    if (text.size() >= 17) {
      for (; pos + 16 < text.size(); pos += 16) {
        if (const std::size_t hit = blockHit(pos); hit != GbkText::npos) return hit;
      }
      if (pos <= last) return blockHit(text.size() - 17);
      return GbkText::npos;
    }
  }
  for (; pos <= last; ++pos) {
    if (data[pos] == needleData[0] && matchesAt(pos)) return pos;
  }
  return GbkText::npos;
}

// Find, given a character boundary at or before `from` to walk on from; `boundary` is left
// at the match (or somewhere before the end), so repeated searches walk each byte once.
std::size_t FindFromBoundary(std::string_view text, std::string_view needle, std::size_t from,
                             std::size_t& boundary) {
  if (from > text.size()) return GbkText::npos;
  std::size_t searchFrom = from;
  while (true) {
    const std::size_t candidate = FindBytes(text, needle, searchFrom);
    if (candidate == GbkText::npos) return GbkText::npos;
    while (boundary < candidate) boundary += CharLength(text, boundary);
    if (boundary == candidate) return candidate;
    searchFrom = candidate + 1;  // the candidate began inside a character
  }
}

}  // namespace

std::size_t GbkText::Find(std::string_view text, std::string_view needle, std::size_t from) {
  std::size_t boundary = 0;
  return FindFromBoundary(text, needle, from, boundary);
}

std::size_t GbkText::BoundaryAtOrBelow(std::string_view line, std::size_t room) {
  if (room >= line.size()) return line.size();
  std::size_t boundary = 0;
  while (true) {
    const std::size_t next = boundary + CharLength(line, boundary);
    if (next > room) return boundary;
    boundary = next;
  }
}

void GbkText::WidenFullWidthSpaces(char* data, std::size_t size) {
  // Paragraphs mostly begin with full-width spaces: those are taken in place, and one search
  // walks the rest of the line.
  std::size_t pos = 0;
  while (pos + 1 < size && data[pos] == kFullWidthSpace[0] && data[pos + 1] == kFullWidthSpace[1]) {
    data[pos] = data[pos + 1] = ' ';
    pos += 2;
  }
  const std::string_view text(data, size);
  std::size_t boundary = pos;
  while ((pos = FindFromBoundary(text, kFullWidthSpace, pos, boundary)) != npos) {
    data[pos] = ' ';
    data[pos + 1] = ' ';
    pos += 2;
    boundary = pos;
  }
}

std::string GbkText::RemoveFullWidthSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  std::size_t pos = 0;
  std::size_t boundary = 0;
  while ((pos = FindFromBoundary(text, kFullWidthSpace, pos, boundary)) != npos) {
    out.append(text.substr(start, pos - start));
    pos += kFullWidthSpace.size();
    start = boundary = pos;
  }
  out.append(text.substr(start));
  return out;
}

std::string_view GbkText::TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsSpace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(0, end);
}

std::string_view GbkText::Trim(std::string_view text) {
  text = TrimRight(text);
  std::size_t begin = 0;
  while (begin < text.size() && IsSpace(static_cast<unsigned char>(text[begin]))) ++begin;
  return text.substr(begin);
}

std::string GbkText::NormaliseKeywords(std::string_view text) {
  std::string copy(text);
  WidenFullWidthSpaces(copy.data(), copy.size());
  return std::string(Trim(copy));
}

}  // namespace sekato::engine
