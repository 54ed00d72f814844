#include "splitinvariants.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "sekato/textrules.h"

namespace sekato::engine::test {

namespace {

// How the text of one encoding is walked: its unit (a byte, or two in UTF-16), whether a
// unit is a line break, and how many units the character at a unit takes.
struct Walk {
  Encoding encoding;
  std::size_t unit = 1;

  unsigned Unit(const std::string& text, std::size_t i) const {
    const auto a = static_cast<unsigned char>(text[i]);
    if (unit == 1) return a;
    const auto b = static_cast<unsigned char>(text[i + 1]);
    return encoding == Encoding::Utf16Le ? (b << 8 | a) : (a << 8 | b);
  }
  bool IsBreak(const std::string& text, std::size_t i) const {
    const unsigned u = Unit(text, i);
    return u == '\r' || u == '\n';
  }
  // Bytes of the character at `i` of a line that ends at `end`.
  std::size_t CharLength(const std::string& text, std::size_t i, std::size_t end) const {
    if (unit == 1) {
      return TextRules::For(encoding).CharLength(std::string_view(text).substr(0, end), i);
    }
    const unsigned u = Unit(text, i);
    const bool pair = u >= 0xD800 && u <= 0xDBFF && i + 4 <= end && Unit(text, i + 2) >= 0xDC00 &&
                      Unit(text, i + 2) <= 0xDFFF;
    return pair ? 4 : 2;
  }
  std::string WithoutBreaks(const std::string& text) const {
    std::string out;
    for (std::size_t i = 0; i + unit <= text.size(); i += unit) {
      if (!IsBreak(text, i)) out.append(text, i, unit);
    }
    return out;
  }
};

// The piece's sequence number from "namePart_NNN.txt" or "NNN_title.txt"; -1 for neither.
long long SequenceOf(const std::string& name, const std::string& namePart) {
  std::string digits;
  if (name.rfind(namePart + "_", 0) == 0 && name.size() > namePart.size() + 5) {
    digits = name.substr(namePart.size() + 1, name.size() - namePart.size() - 5);
  } else {
    digits = name.substr(0, name.find('_'));
  }
  if (digits.empty() || digits.size() > 12 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  return std::stoll(digits);
}

// For every position of the source without line breaks, whether a character starts there
// (walking each line from its start, as the run does).
std::vector<bool> CharacterStarts(const std::string& source, const Walk& walk) {
  std::vector<bool> starts(1, true);
  std::size_t lineStart = 0;
  while (lineStart < source.size()) {
    std::size_t lf = lineStart;
    while (lf + walk.unit <= source.size() && walk.Unit(source, lf) != '\n') lf += walk.unit;
    std::size_t end = std::min(lf, source.size());
    if (lf < source.size() && end > lineStart && walk.Unit(source, end - walk.unit) == '\r') {
      end -= walk.unit;
    }
    for (std::size_t i = lineStart; i < end;) {
      starts.back() = true;
      const std::size_t length = walk.CharLength(source, i, end);
      for (std::size_t k = i; k < i + length; k += walk.unit) {
        if (!walk.IsBreak(source, k)) starts.insert(starts.end(), walk.unit, false);
      }
      i += length;
    }
    starts.back() = true;
    lineStart = lf + walk.unit;
  }
  return starts;
}

}  // namespace

std::string CheckSplitInvariants(const std::string& source, const std::string& piecesDir,
                                 const std::string& namePart, Encoding encoding) {
  const Walk walk{encoding, Encodings::IsUtf16(encoding) ? std::size_t{2} : std::size_t{1}};
  const std::string mark(Encodings::ByteOrderMark(encoding));
  const bool marked = !mark.empty() && source.compare(0, mark.size(), mark) == 0;
  const std::string text = marked ? source.substr(mark.size()) : source;
  if (text.size() % walk.unit != 0) return "the source is no whole number of units";
  std::map<long long, std::string> pieces;
  for (const auto& entry : std::filesystem::directory_iterator(piecesDir)) {
    const std::string name = entry.path().filename().string();
    const long long number = SequenceOf(name, namePart);
    if (number < 1) return "a file that is no piece: " + name;
    if (!pieces.emplace(number, name).second) return "two pieces numbered " + name;
  }
  if (pieces.empty()) return "no piece at all";
  if (pieces.rbegin()->first != static_cast<long long>(pieces.size())) {
    return "the sequence numbers have a gap";
  }
  const std::string stripped = walk.WithoutBreaks(text);
  const std::vector<bool> starts = CharacterStarts(text, walk);
  std::string joined;
  for (const auto& [number, name] : pieces) {
    if (!starts[joined.size()]) return name + " starts inside a character";
    std::ifstream in(std::filesystem::path(piecesDir) / name, std::ios::binary);
    std::string piece((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (marked || walk.unit == 2) {
      if (piece.compare(0, mark.size(), mark) != 0) return name + " lacks the byte-order mark";
      piece.erase(0, mark.size());
    }
    if (piece.size() % walk.unit != 0) return name + " is no whole number of units";
    joined += walk.WithoutBreaks(piece);
    if (joined.size() > stripped.size() || stripped.compare(0, joined.size(), joined) != 0) {
      return name + " does not continue the source";
    }
  }
  if (joined != stripped) return "the pieces end before the source does";
  return {};
}

}  // namespace sekato::engine::test
