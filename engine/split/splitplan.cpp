#include "splitplan.h"

#include "headingmatcher.h"
#include "linetransform.h"
#include "sekato/outputfolders.h"
#include "sekato/sourcepath.h"
#include "sekato/textrules.h"

namespace sekato::engine {

SplitPlan::SplitPlan(const SplitOptions& options)
    : m_options(options),
      m_directory(OutputFolders::Of(options)),
      m_namer(options.naming == PieceNaming::Custom ? options.customName : options.sourceTitle,
              options.naming == PieceNaming::ChapterTitle) {
  SetKeywordText(TextRules::For(options.textEncoding).NormaliseKeywords(options.keywords));
  if (ByRule()) m_patterns = HeadingRule::Compile(options.regex, options.exclude, m_patternRefusal);
  if (ByRule() && !options.volumeRegex.empty()) {
    m_volumePatterns = HeadingRule::Compile(options.volumeRegex, "", m_volumeRefusal);
  }
}

void SplitPlan::SetKeywordText(std::string text) {
  m_keywordText = std::move(text);
  m_keywords = HeadingMatcher::CutKeywords(m_keywordText);
}

std::optional<Message> SplitPlan::Refusal(Purpose purpose) const {
  const SplitOptions& o = m_options;
  const bool split = purpose == Purpose::Split;
  const bool chapters = !split || o.mode == SplitMode::ByChapter;
  // Checked in this order so that each front end names the first of several faults alike.
  if (!split && !ByRule() && m_keywordText.empty()) return Message{MessageId::EmptyKeywords};
  if (split && o.mode == SplitMode::Evenly && o.parts <= 0) return Message{MessageId::BadParts};
  if (chapters && o.chaptersPerPiece <= 0) return Message{MessageId::BadChaptersPerPiece};
  // A size of 0 (what an empty or mistyped field reads as) would make every line a piece.
  if (split && o.mode == SplitMode::BySize && o.maxKb <= 0) return Message{MessageId::BadSize};
  if (chapters && o.titleMax < 0) return Message{MessageId::NegativeTitle};
  if (split) {
    // The name part names files inside the folder: it must not lead out of it.
    const std::string& namePart = m_namer.NamePart();
    if (namePart.find('/') != std::string::npos || namePart == "." || namePart == "..") {
      return Message{MessageId::BadNamePart, {namePart}};
    }
    if (SourcePath::IsSpecialFile(o.sourcePath)) {
      return Message{MessageId::NotRegularSource, {o.sourcePath}};
    }
    if (m_directory.empty()) {
      return o.folder == FolderChoice::NewFolder ? Message{MessageId::NoNewFolder}
                                                 : Message{MessageId::NoExtension, {o.sourcePath}};
    }
  }
  if (chapters && ByRule() && !m_patterns) return m_patternRefusal;
  if (chapters && ByRule() && !o.volumeRegex.empty() && !m_volumePatterns) return m_volumeRefusal;
  if (chapters && !ByRule() && !m_keywordText.empty()) {
    if (m_keywords.size() > HeadingMatcher::kMaxKeywords) {
      return Message{MessageId::TooManyKeywords};
    }
    if (Series() == Numerals::Series::None && HeadingMatcher::HasWildcard(m_keywords)) {
      return Message{MessageId::NoNumeralSeries};
    }
  }
  // A rule that cannot be used is named before anything is read or written.
  if (auto refusal = LineTransform::Refusal(o)) return refusal;
  // What a chapter list would wait on forever or read without end is refused as a split is.
  if (!split && SourcePath::IsSpecialFile(o.sourcePath)) {
    return Message{MessageId::NotRegularSource, {o.sourcePath}};
  }
  return std::nullopt;
}

}  // namespace sekato::engine
