#include "chaptersplitter.h"

#include "asciitext.h"

namespace sekato::engine {

ChapterSplitter::ChapterSplitter(HeadingMatcher matcher, std::int64_t perFile, bool titleNames,
                                 PieceWriter& writer, const TextRules& rules)
    : m_matcher(std::move(matcher)),
      m_nPerFile(perFile),
      m_bTitleNames(titleNames),
      m_writer(writer),
      m_rules(rules) {}

std::string ChapterSplitter::CleanTitle(std::string_view heading, const TextRules& rules) {
  const std::string removed = rules.RemoveFullWidthSpaces(heading);
  return std::string(AsciiText::Trim(removed));
}

bool ChapterSplitter::HandleLine(std::string_view line) {
  if (!m_matcher.IsHeading(line, m_nHeadings)) {
    m_writer.WriteLine(line);
    return true;
  }
  ++m_nHeadings;
  m_numbering.Add(m_matcher.LastNumber(), 0, m_nHeadings);
  if (OpensPiece(m_nHeadings, m_nPerFile)) {
    if (!m_writer.Close(true)) return false;
    if (m_bTitleNames) m_writer.RenameToTitle(m_writer.Sequence(), m_strTitle);
    if (!m_writer.OpenNext()) return false;
    m_writer.WriteLine(line);
    m_strTitle = CleanTitle(line, m_rules);
    return true;
  }
  m_writer.WriteLine(line);
  if (m_nHeadings == 1) m_strTitle = CleanTitle(line, m_rules);
  return true;
}

bool ChapterSplitter::GapsOrRepeats() const {
  for (const auto& issue : m_numbering.Issues()) {
    if (issue.kind != NumberingIssue::Kind::OutOfOrder) return true;
  }
  return false;
}

std::optional<Message> ChapterSplitter::Warning() const {
  const HeadingRule* rule = m_matcher.Rule();
  if (rule == nullptr || rule->FirstCostlyLine().empty()) return std::nullopt;
  return Message{MessageId::CostlyPattern, {rule->FirstCostlyLine()}};
}

void ChapterSplitter::Finish() {
  if (m_bTitleNames) m_writer.RenameToTitle(m_writer.Sequence(), m_strTitle);
}

}  // namespace sekato::engine
