#include "gbktext.h"

#include <algorithm>
#include <cstring>

#include "asciitext.h"
#include "pairscanner.h"

namespace sekato::engine {

namespace {

// Bytes in one character starting at `pos`; a lead byte at the very end stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  return GbkText::IsLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Find, given a character boundary at or before `from` to walk on from; `boundary` is left
// at the match (or somewhere before the end), so repeated searches walk each byte once.
std::size_t FindFromBoundary(std::string_view text, std::string_view needle, std::size_t from,
                             std::size_t& boundary) {
  if (from > text.size()) return GbkText::npos;
  std::size_t searchFrom = from;
  while (true) {
    const std::size_t candidate = AsciiText::FindBytes(text, needle, searchFrom);
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
  // Paragraphs mostly begin with full-width spaces: those are taken in place, then the rest
  // of the line is scanned for the pair once, walking character boundaries only up to the
  // candidates found.
  constexpr auto kLead = static_cast<unsigned char>(kFullWidthSpace[0]);
  constexpr auto kTrail = static_cast<unsigned char>(kFullWidthSpace[1]);
  auto* const bytes = reinterpret_cast<unsigned char*>(data);
  std::size_t pos = 0;
  while (pos + 1 < size && bytes[pos] == kLead && bytes[pos + 1] == kTrail) {
    bytes[pos] = bytes[pos + 1] = ' ';
    pos += 2;
  }
  const std::string_view text(data, size);
  std::size_t boundary = pos;
  while (pos + 1 < size) {
    // Full-width spaces come in runs: the next one is looked at first.
    const std::size_t candidate = bytes[pos] == kLead && bytes[pos + 1] == kTrail
                                      ? pos
                                      : PairScanner::Find(bytes, pos, size - 2, kLead, kTrail);
    if (candidate == PairScanner::npos) return;
    if (boundary < candidate) {
      // A line feed is never part of a two-byte character: in a run of lines the walk starts
      // afresh after the last one before the candidate, so it stays within one line. Most
      // candidates begin a line, right after its line feed.
      if (bytes[candidate - 1] == '\n') {
        boundary = candidate;
      } else if (const void* feed = ::memrchr(bytes + boundary, '\n', candidate - boundary)) {
        boundary = static_cast<std::size_t>(static_cast<const unsigned char*>(feed) - bytes) + 1;
      }
      while (boundary < candidate) boundary += CharLength(text, boundary);
    }
    if (boundary == candidate) {
      bytes[candidate] = bytes[candidate + 1] = ' ';
      boundary = candidate + 2;
      pos = boundary;
    } else {
      pos = candidate + 1;  // the pair straddles two characters
    }
  }
}

std::string GbkText::NormaliseKeywords(std::string_view text) {
  std::string copy(text);
  WidenFullWidthSpaces(copy.data(), copy.size());
  return std::string(AsciiText::Trim(copy));
}

}  // namespace sekato::engine
