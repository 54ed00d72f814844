#include "piecewriter.h"

#include <cstdio>

#include "fileops.h"
#include "gbkcodec.h"
#include "gbktext.h"
#include "messages.h"
#include "textcodec.h"
#include "textrules.h"

namespace sekato::engine {

PieceWriter::PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode)
    : m_layout(std::move(layout)), m_sourceDevice(sourceDevice), m_sourceInode(sourceInode) {
  if (const TextRules* rules = m_layout.rules) {
    m_nBreakBytes = rules->BreakBytes();
    m_bMeasured = rules->OutputEncoding() != rules->TextEncoding();
    if (Encodings::IsUtf16(rules->OutputEncoding())) {
      m_file.ConvertUtf8To(Encodings::IconvName(rules->OutputEncoding()));
    }
  }
}

std::int64_t PieceWriter::Written(std::string_view text) const {
  return m_bMeasured ? m_layout.rules->Written(text) : static_cast<std::int64_t>(text.size());
}

std::string PieceWriter::SequenceText(std::int64_t number) {
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
    if (byte < 0x20 || byte == 0x7F || kForbidden.find(static_cast<char>(byte)) !=
                                           std::string_view::npos) {
      return false;
    }
    ++i;
  }
  auto converted = GbkCodec::ToUtf8(gbkTitle);
  if (!converted) return false;
  utf8Title = std::move(*converted);
  return true;
}

bool PieceWriter::TitleFileName(std::string_view title, Encoding encoding,
                                std::string& utf8Title) {
  if (encoding == Encoding::Gbk) return TitleFileName(title, utf8Title);
  // In UTF-8 no byte of a longer character is ASCII, so the test is on the decoded name.
  auto converted = TextCodec::Convert(title, encoding, Encoding::Utf8);
  bool cutOff = false;
  if (!converted || TextRules::For(Encoding::Utf8).ValidPrefix(converted->data(), converted->size(),
                                                               cutOff) != converted->size()) {
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
  bool protectedHit = false;
  std::string reason;
  if (!m_file.Create(m_strPath, m_sourceDevice, m_sourceInode, protectedHit, reason)) {
    m_strError = protectedHit ? Messages::Format(Messages::kWouldOverwriteSource, m_strPath)
                              : Messages::Format(Messages::kCreatePiece, m_strPath, reason);
    return false;
  }
  m_file.Write(m_layout.preamble);
  return true;
}

bool PieceWriter::OpenFirst() {
  if (!Open(1)) return false;
  if (m_layout.addHead) {
    m_file.WriteText(m_layout.head);
    m_file.Break();
    m_nCount = Written(m_layout.head) + m_nBreakBytes;
  }
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
  return true;
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
  const std::string target = m_layout.directory + "/" + SequenceText(number) + "_" + title + ".txt";
  return FileOps::RenameNoReplace(PiecePath(number), target);
}

}  // namespace sekato::engine
