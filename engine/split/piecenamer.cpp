#include "piecenamer.h"

#include <cstdio>

#include "gbktext.h"
#include "sekato/gbkcodec.h"
#include "sekato/textrules.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// "…_NNN.txt" with three or more digits: the shape of every sequence name.
bool EndsLikeSequence(std::string_view fileName) {
  constexpr std::string_view kSuffix = ".txt";
  if (fileName.size() < kSuffix.size() ||
      !SameIgnoringAsciiCase(fileName.substr(fileName.size() - kSuffix.size()), kSuffix)) {
    return false;
  }
  const std::string_view stem = fileName.substr(0, fileName.size() - kSuffix.size());
  const std::size_t underscore = stem.find_last_of('_');
  if (underscore == std::string_view::npos || stem.size() - underscore - 1 < 3) return false;
  return stem.find_first_not_of("0123456789", underscore + 1) == std::string_view::npos;
}

}  // namespace

bool PieceNamer::EndsLikeASequenceName(std::string_view fileName) {
  return EndsLikeSequence(fileName);
}

bool PieceNamer::IsPieceName(std::string_view fileName, std::string_view namePart) {
  if (!EndsLikeSequence(fileName)) return false;
  const std::size_t underscore = fileName.find_last_of('_');
  const std::string_view digits = fileName.substr(underscore + 1, fileName.size() - underscore - 5);
  std::int64_t number = 0;
  for (const char c : digits) {
    if (number > 100000000000000000) return false;
    number = number * 10 + (c - '0');
  }
  return number >= 1 && SequenceText(number) == digits &&
         SameIgnoringAsciiCase(fileName.substr(0, underscore), namePart);
}

std::string PieceNamer::SequenceText(std::int64_t number) {
  // A chapter list names thousands of pieces: the common case goes without a printf.
  if (number >= 0) {
    std::string text = std::to_string(number);
    if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
    return text;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.3lld", static_cast<long long>(number));
  return text;
}

bool PieceNamer::TitleFileName(std::string_view gbkTitle, std::string& utf8Title) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  for (std::size_t i = 0; i < gbkTitle.size();) {
    const auto byte = static_cast<unsigned char>(gbkTitle[i]);
    if (GbkText::IsLead(byte) && i + 1 < gbkTitle.size()) {
      i += 2;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F ||
        kForbidden.find(static_cast<char>(byte)) != std::string_view::npos) {
      return false;
    }
    ++i;
  }
  auto converted = GbkCodec::ToUtf8(gbkTitle);
  if (!converted) return false;
  utf8Title = std::move(*converted);
  return true;
}

bool PieceNamer::TitleFileName(std::string_view title, Encoding encoding, std::string& utf8Title) {
  if (encoding == Encoding::Gbk) return TitleFileName(title, utf8Title);
  // In UTF-8 no byte of a longer character is ASCII, so the test is on the decoded name.
  auto converted = TextCodec::Convert(title, encoding, Encoding::Utf8);
  bool cutOff = false;
  if (!converted ||
      TextRules::For(Encoding::Utf8).ValidPrefix(converted->data(), converted->size(), cutOff) !=
          converted->size()) {
    return false;
  }
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  for (const char c : *converted) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || kForbidden.find(c) != std::string_view::npos) return false;
  }
  utf8Title = std::move(*converted);
  return true;
}

std::string PieceNamer::FolderName(std::int64_t volume, std::string_view title, Encoding encoding) {
  std::string name = std::to_string(volume);
  if (name.size() < 2) name.insert(0, 2 - name.size(), '0');
  std::string utf8Title;
  if (!title.empty() && TitleFileName(title, encoding, utf8Title))
    name.append(1, '_').append(utf8Title);
  return name;
}

std::string PieceNamer::SequenceName(std::int64_t number) const {
  const std::string sequence = SequenceText(number);
  std::string name;
  name.reserve(m_namePart.size() + sequence.size() + 5);
  return name.append(m_namePart).append(1, '_').append(sequence).append(".txt");
}

std::optional<std::string> PieceNamer::TitleName(std::int64_t number, std::string_view title,
                                                 Encoding encoding) const {
  std::string utf8Title;
  if (!m_byTitle || !TitleFileName(title, encoding, utf8Title)) return std::nullopt;
  std::string name = SequenceText(number) + "_" + utf8Title + ".txt";
  // Such a name would be emptied when that piece is opened.
  if (IsPieceName(name, m_namePart)) return std::nullopt;
  return name;
}

std::string PieceNamer::FinalName(std::int64_t number, std::string_view title,
                                  Encoding encoding) const {
  if (auto name = TitleName(number, title, encoding)) return std::move(*name);
  return SequenceName(number);
}

}  // namespace sekato::engine
