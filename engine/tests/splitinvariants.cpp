#include "splitinvariants.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "gbktext.h"

namespace sekato::engine::test {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

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

// For every position of the source without CR and LF, whether a character starts there
// (walking each line from its start, as the run does).
std::vector<bool> CharacterStarts(const std::string& source) {
  std::vector<bool> starts(1, true);
  std::size_t lineStart = 0;
  while (lineStart < source.size()) {
    std::size_t lf = source.find('\n', lineStart);
    if (lf == std::string::npos) lf = source.size();
    std::size_t end = lf;
    if (lf < source.size() && end > lineStart && source[end - 1] == '\r') --end;
    for (std::size_t i = lineStart; i < end;) {
      starts.back() = true;
      const std::size_t length =
          GbkText::IsLead(static_cast<unsigned char>(source[i])) && i + 1 < end ? 2 : 1;
      for (std::size_t k = i; k < i + length; ++k) {
        if (!IsBreak(source[k])) starts.push_back(false);
      }
      i += length;
    }
    starts.back() = true;
    lineStart = lf + 1;
  }
  return starts;
}

}  // namespace

std::string CheckSplitInvariants(const std::string& source, const std::string& piecesDir,
                                 const std::string& namePart) {
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
  std::string stripped;
  std::copy_if(source.begin(), source.end(), std::back_inserter(stripped),
               [](char c) { return !IsBreak(c); });
  const std::vector<bool> starts = CharacterStarts(source);
  std::string joined;
  for (const auto& [number, name] : pieces) {
    if (!starts[joined.size()]) return name + " starts inside a character";
    std::ifstream in(std::filesystem::path(piecesDir) / name, std::ios::binary);
    std::copy_if(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(),
                 std::back_inserter(joined), [](char c) { return !IsBreak(c); });
    if (joined.size() > stripped.size() || stripped.compare(0, joined.size(), joined) != 0) {
      return name + " does not continue the source";
    }
  }
  if (joined != stripped) return "the pieces end before the source does";
  return {};
}

}  // namespace sekato::engine::test
