#include "chaptersplitter.h"

#include <algorithm>

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

void ChapterSplitter::CutAtLines(const ChapterList& list) {
  m_pList = &list;
  m_nNextEntry = 0;
  m_nNextCut = list.entries.empty() ? INT64_MAX : list.entries.front().line;
}

void ChapterSplitter::Choose(const ChapterSelection& chosen, std::int64_t count, bool joined) {
  m_pChosen = &chosen;
  m_nChapters = count;
  m_bJoined = joined;
  // The preface goes with chapter 1; the first piece holds it and chapters 1 to perFile.
  m_writer.SetMuted(!chosen.Contains(1));
  if (!joined) m_writer.SkipNextPiece(!chosen.AnyIn(1, std::min(m_nPerFile, count)));
}

bool ChapterSplitter::IsHeading(std::string_view line) {
  if (!m_pList) {
    if (m_nHeadingsFrom > 1 && *m_pLine < m_nHeadingsFrom) return false;
    return m_matcher.IsHeading(line, m_nHeadings);
  }
  // An empty line cannot open a piece (its break would go with it): a listed one opens its
  // chapter at the next line with text, as one clean-up drops does.
  if (*m_pLine < m_nNextCut || line.empty()) return false;
  // Every listed line up to this one opens here.
  const auto& entries = m_pList->entries;
  m_bListedTitle = false;
  while (m_nNextEntry < entries.size() && entries[m_nNextEntry].line <= *m_pLine) {
    m_bListedTitle = !entries[m_nNextEntry].title.empty();
    if (m_bListedTitle) m_strListedTitle = entries[m_nNextEntry].title;
    ++m_nNextEntry;
  }
  m_nNextCut = m_nNextEntry < entries.size() ? entries[m_nNextEntry].line : INT64_MAX;
  return true;
}

void ChapterSplitter::NoteTitle(std::string_view line) {
  m_bPieceTitleListed = m_bListedTitle;
  m_strTitle = m_bListedTitle ? m_strListedTitle : CleanTitle(line, m_rules);
}

bool ChapterSplitter::Volume(std::string_view line) {
  if (HeadingRule* rule = m_matcher.Rule()) rule->StartVolume();
  if (m_nHeadings > 0 && !m_bOpened && OpensPiece(m_nHeadings + 1, m_nPerFile)) {
    if (!m_writer.Close(true)) return false;
    Rename();
    if (!m_writer.OpenNext()) return false;
    m_bOpened = true;
  }
  m_writer.WriteLine(line);
  return true;
}

bool ChapterSplitter::VolumeFolder(std::string_view line) {
  if (HeadingRule* rule = m_matcher.Rule()) rule->StartVolume();
  ++m_nVolumes;
  m_nBase = m_nHeadings;
  const std::string name =
      PieceNamer::FolderName(m_nVolumes, CleanTitle(line, m_rules), m_rules.TextEncoding());
  // The piece at hand stays open for the first volume while it holds no chapter: the preface
  // and the volume heading start the same piece.
  const bool opens = m_nHeadings > 0 || m_nVolumes > 1;
  if (opens) {
    if (!m_writer.Close(true)) return false;
    Rename();
  }
  if (!m_writer.EnterFolder(name)) return false;
  if (opens) {
    if (!m_writer.OpenNext()) return false;
    m_bOpened = true;
    // Named after its first chapter, or after the volume while it holds none.
    NoteTitle(line);
  }
  m_writer.WriteLine(line);
  return true;
}

bool ChapterSplitter::HandleLine(std::string_view line) {
  if (m_pOnly != nullptr && !std::binary_search(m_pOnly->begin(), m_pOnly->end(), *m_pLine)) {
    m_writer.WriteLine(line);
    return true;
  }
  if (m_volumes && !m_pList && (m_nHeadingsFrom <= 1 || *m_pLine >= m_nHeadingsFrom) &&
      m_volumes->IsHeading(line)) {
    return m_bFolders ? VolumeFolder(line) : Volume(line);
  }
  if (!IsHeading(line)) {
    m_writer.WriteLine(line);
    return true;
  }
  return Cut(line);
}

bool ChapterSplitter::HandlePart(std::string_view part, bool last) {
  const bool lineStart = !m_bInPart;
  m_bInPart = !last;
  if (lineStart && m_pList && IsHeading(part)) return Cut(part);
  m_writer.WriteLine(part);
  return true;
}

bool ChapterSplitter::Cut(std::string_view line) {
  ++m_nHeadings;
  if (!m_pList) m_numbering.Add(m_matcher.LastNumber(), 0, m_nHeadings);
  const bool chosen = !m_pChosen || m_pChosen->Contains(m_nHeadings);
  if (m_bOpened) {
    // A volume heading opened this chapter's piece.
    m_bOpened = false;
    m_writer.WriteLine(line);
    NoteTitle(line);
    return true;
  }
  if (!m_bJoined && OpensPiece(m_nHeadings - m_nBase, m_nPerFile)) {
    if (!m_writer.Close(true)) return false;
    Rename();
    if (m_pChosen) {
      const std::int64_t first = m_nHeadings;
      const std::int64_t last = std::min(first + m_nPerFile - 1, std::max(m_nChapters, first));
      m_writer.SkipNextPiece(!m_pChosen->AnyIn(first, last));
    }
    if (!m_writer.OpenNext()) return false;
    if (m_pChosen) m_writer.SetMuted(!chosen);
    m_writer.WriteLine(line);
    NoteTitle(line);
    return true;
  }
  if (m_pChosen) m_writer.SetMuted(!chosen);
  m_writer.WriteLine(line);
  if (m_nHeadings == 1) NoteTitle(line);
  return true;
}

void ChapterSplitter::Rename() {
  if (!m_bTitleNames || m_bJoined) return;
  if (m_bPieceTitleListed) {
    m_writer.RenameToTitle(m_writer.Sequence(), m_strTitle, Encoding::Utf8);
  } else {
    m_writer.RenameToTitle(m_writer.Sequence(), m_strTitle);
  }
}

bool ChapterSplitter::GapsOrRepeats() const {
  for (const auto& issue : m_numbering.Issues()) {
    if (issue.kind != NumberingIssue::Kind::OutOfOrder) return true;
  }
  return false;
}

std::optional<Message> ChapterSplitter::Warning() const {
  std::optional<Message> warning;
  const HeadingRule* rule = m_matcher.Rule();
  if (rule != nullptr && !rule->FirstCostlyLine().empty()) {
    warning = Message{MessageId::CostlyPattern, {rule->FirstCostlyLine()}};
  }
  return warning;
}

void ChapterSplitter::Finish() { Rename(); }

}  // namespace sekato::engine
