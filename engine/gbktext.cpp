#include "gbktext.h"

#include <algorithm>
#include <cstring>

namespace sekato::engine {

namespace {

// Bytes in one character starting at `pos`; a lead byte at the very end stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  return GbkText::IsLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2
                                                                                          : 1;
}

}  // namespace

std::size_t GbkText::Find(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return npos;
  std::size_t boundary = 0;  // always a character boundary, advanced lazily
  std::size_t searchFrom = from;
  while (true) {
    const std::size_t candidate = text.find(needle, searchFrom);
    if (candidate == npos) return npos;
    while (boundary < candidate) boundary += CharLength(text, boundary);
    if (boundary == candidate) return candidate;
    searchFrom = candidate + 1;  // the candidate began inside a character
  }
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
  const std::string_view text(data, size);
  std::size_t pos = 0;
  while ((pos = Find(text, kFullWidthSpace, pos)) != npos) {
    data[pos] = ' ';
    data[pos + 1] = ' ';
    pos += 2;
  }
}

std::string GbkText::RemoveFullWidthSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  std::size_t pos = 0;
  while ((pos = Find(text, kFullWidthSpace, pos)) != npos) {
    out.append(text.substr(start, pos - start));
    pos += kFullWidthSpace.size();
    start = pos;
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
