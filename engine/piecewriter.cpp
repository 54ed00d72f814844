#include "piecewriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "fileops.h"
#include "gbkcodec.h"
#include "gbktext.h"
#include "messages.h"
#include "textcodec.h"
#include "textrules.h"

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
bool EndsLikeASequenceName(std::string_view fileName) {
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

PieceWriter::PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode)
    : m_layout(std::move(layout)), m_untouchable{{sourceDevice, sourceInode}} {
  if (const TextRules* rules = m_layout.rules) {
    m_nBreakBytes = rules->BreakBytes();
    m_bMeasured = rules->OutputEncoding() != rules->TextEncoding();
    if (Encodings::IsUtf16(rules->OutputEncoding())) {
      m_file.ConvertToUtf16(rules->OutputEncoding() == Encoding::Utf16Be);
    }
  }
}

std::int64_t PieceWriter::MeasuredWritten(std::string_view text) const {
  return m_layout.rules->Written(text);
}

bool PieceWriter::IsPieceName(std::string_view fileName, std::string_view namePart) {
  if (!EndsLikeASequenceName(fileName)) return false;
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

std::string PieceWriter::SequenceText(std::int64_t number) {
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

std::string PieceWriter::PiecePath(std::int64_t number) const {
  return m_layout.directory + "/" + m_layout.namePart + "_" + SequenceText(number) + ".txt";
}

bool PieceWriter::TitleFileName(std::string_view gbkTitle, std::string& utf8Title) {
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

bool PieceWriter::TitleFileName(std::string_view title, Encoding encoding, std::string& utf8Title) {
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

bool PieceWriter::Open(std::int64_t number) {
  m_nSequence = number;
  m_strPath = PiecePath(number);
  m_nCount = 0;
  OutFile::Refusal refusal = OutFile::Refusal::None;
  std::size_t hit = 0;
  std::string reason;
  if (m_file.Create(m_strPath, m_untouchable, refusal, hit, reason)) {
    m_file.Write(m_layout.preamble);
    return true;
  }
  switch (refusal) {
    case OutFile::Refusal::Special:
      m_strError = Messages::Format(Messages::kNotRegularPiece, m_strPath);
      break;
    case OutFile::Refusal::Untouchable:
      m_strError = Messages::Format(
          hit == 0 ? Messages::kWouldOverwriteSource : Messages::kWouldOverwritePiece, m_strPath);
      break;
    default:
      m_strError = Messages::Format(Messages::kCreatePiece, m_strPath, reason);
      break;
  }
  return false;
}

bool PieceWriter::OpenFirst() {
  if (!Open(1)) return false;
  if (m_layout.addHead) {
    m_file.WriteText(m_layout.head);
    m_file.Break();
    m_nCount = Written(m_layout.head) + m_nBreakBytes;
  }
  m_nOpenCount = m_nCount;
  return true;
}

bool PieceWriter::OpenNext() {
  if (!Open(m_nSequence + 1)) return false;
  if (m_layout.addHead) {
    m_file.WriteText(m_layout.head);
    m_file.Break();
    m_file.Break();
    m_nCount = Written(m_layout.head) + 2 * m_nBreakBytes;
  }
  m_nOpenCount = m_nCount;
  return true;
}

void PieceWriter::Discard() {
  if (!m_file.IsOpen()) return;
  std::string ignored;
  m_file.Close(ignored);
  ::unlink(m_strPath.c_str());
}

bool PieceWriter::Close(bool withEnding) {
  if (!m_file.IsOpen()) return true;
  if (withEnding) {
    if (m_layout.addTail) {
      m_file.WriteText("\n\n");
      m_file.WriteText(m_layout.tail);
    }
    if (m_layout.addPromotion) {
      m_file.WriteText("\n\n");
      m_file.WriteText(m_layout.promotion);
    }
  }
  std::string reason;
  if (!m_file.Close(reason)) {
    m_strError = Messages::Format(Messages::kWritePiece, m_strPath, reason);
    return false;
  }
  return true;
}

bool PieceWriter::RenameToTitle(std::int64_t number, std::string_view textTitle) {
  std::string title;
  const Encoding encoding = m_layout.rules ? m_layout.rules->TextEncoding() : Encoding::Gbk;
  if (!TitleFileName(textTitle, encoding, title)) return false;
  const std::string name = SequenceText(number) + "_" + title + ".txt";
  if (IsPieceName(name, m_layout.namePart)) return false;
  const std::string target = m_layout.directory + "/" + name;
  if (!FileOps::RenameNoReplace(PiecePath(number), target)) return false;
  struct stat info {};
  if (EndsLikeASequenceName(name) && ::stat(target.c_str(), &info) == 0) {
    m_untouchable.push_back({info.st_dev, info.st_ino});
  }
  return true;
}

}  // namespace sekato::engine
