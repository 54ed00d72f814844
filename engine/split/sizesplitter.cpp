#include "sizesplitter.h"

#include <limits>

#include "sekato/textrules.h"

namespace sekato::engine {

SizeSplitter::Limits SizeSplitter::ForSize(std::int64_t kb) {
  constexpr std::int64_t kMaxKb = std::numeric_limits<std::int64_t>::max() / 2048;
  return {(kb > kMaxKb ? kMaxKb : kb) * 1024, 0};
}

SizeSplitter::Limits SizeSplitter::ForParts(std::int64_t length, std::int64_t parts,
                                            const PieceLayout& layout) {
  const TextRules& rules = layout.rules ? *layout.rules : TextRules::For(Encoding::Gbk);
  Limits limits{length / parts + 1, 0};
  if (layout.addHead) limits.limit += rules.Written(layout.head) + rules.BreakBytes();
  if (layout.addTail) {
    const auto tail = rules.Written(layout.tail) + 2 * rules.BreakBytes();
    limits.limit += tail;
    limits.allowance += tail;
  }
  if (layout.addPromotion) {
    limits.limit += 12;
    limits.allowance += 12;
  }
  return limits;
}

SizeSplitter::SizeSplitter(Limits limits, bool keepLines, PieceWriter& writer,
                           const TextRules& rules)
    : m_limits(limits), m_bKeepLines(keepLines), m_writer(writer), m_rules(rules) {}

bool SizeSplitter::HandleLine(std::string_view line) {
  const std::int64_t length = m_writer.Written(line);
  if (m_writer.Count() + length <= m_limits.limit + m_limits.allowance) {
    m_writer.WriteLine(line);
    return true;
  }
  std::size_t cut = 0;
  if (!m_bKeepLines) {
    const std::int64_t room = m_limits.limit - m_writer.Count();
    cut = m_rules.FitAtOrBelow(line, room);
    m_writer.WriteLine(line.substr(0, cut));
  }
  if (!m_writer.Close(true) || !m_writer.OpenNext()) return false;
  m_writer.WriteLine(line.substr(cut));
  return true;
}

bool SizeSplitter::StartLongLine(std::int64_t length) {
  m_bInLong = true;
  m_bCut = true;  // placed once and for all: every part goes where the first one goes
  if (length <= WholeLineRoom()) return true;
  return m_writer.Close(true) && m_writer.OpenNext();
}

bool SizeSplitter::HandlePart(std::string_view part, bool last) {
  if (!m_bInLong) {
    m_bInLong = true;
    m_bCut = false;
    m_nStartCount = m_writer.Count();
    m_nSoFar = 0;
    m_strHeld.clear();
  }
  if (m_bCut) {
    m_writer.WriteLine(part);  // the rest of a cut line is written whole
  } else {
    // Bytes up to the last boundary at or below the room stay in this piece whether the line
    // fits or is cut; what lies past it waits for the verdict.
    std::string_view past = part;
    const std::int64_t room = m_limits.limit - m_nStartCount;
    if (m_strHeld.empty() && room > m_nSoFar) {
      const std::size_t fits = m_rules.FitAtOrBelow(part, room - m_nSoFar);
      m_writer.WriteLine(part.substr(0, fits));
      past = part.substr(fits);
    }
    m_strHeld.append(past);
    m_nSoFar += m_writer.Written(part);
    if (m_nStartCount + m_nSoFar > m_limits.limit + m_limits.allowance) {
      if (!m_writer.Close(true) || !m_writer.OpenNext()) return false;
      m_writer.WriteLine(m_strHeld);
      m_strHeld.clear();
      m_bCut = true;
    } else if (last) {
      m_writer.WriteLine(m_strHeld);
      m_strHeld.clear();
    }
  }
  if (last) m_bInLong = false;
  return true;
}

}  // namespace sekato::engine
