#include "splitplan.h"

#include "headingmatcher.h"
#include "messages.h"
#include "outputfolders.h"
#include "sourcepath.h"
#include "textrules.h"

namespace sekato::engine {

SplitPlan::SplitPlan(const SplitOptions& options, Numerals::Series series)
    : m_options(options),
      m_series(series),
      m_directory(OutputFolders::Of(options)),
      m_namer(options.naming == PieceNaming::Custom ? options.customName : options.sourceTitle,
              options.naming == PieceNaming::ChapterTitle) {
  SetKeywordText(TextRules::For(options.textEncoding).NormaliseKeywords(options.keywords));
}

void SplitPlan::SetKeywordText(std::string text) {
  m_keywordText = std::move(text);
  m_keywords = HeadingMatcher::CutKeywords(m_keywordText);
}

std::optional<std::string> SplitPlan::Refusal(Purpose purpose) const {
  const SplitOptions& o = m_options;
  const bool split = purpose == Purpose::Split;
  const bool chapters = !split || o.mode == SplitMode::ByChapter;
  // Checked in this order so that each front end names the first of several faults alike.
  if (!split && m_keywordText.empty()) return std::string(Messages::kEmptyKeywords);
  if (split && o.mode == SplitMode::Evenly && o.parts <= 0) return std::string(Messages::kBadParts);
  if (chapters && o.chaptersPerPiece <= 0) return std::string(Messages::kBadChaptersPerFile);
  if (split && o.mode == SplitMode::BySize && o.maxKb < 0) {
    return std::string(Messages::kNegativeSize);
  }
  if (chapters && o.titleMax < 0) return std::string(Messages::kNegativeTitle);
  if (split) {
    // The name part names files inside the folder: it must not lead out of it.
    const std::string& namePart = m_namer.NamePart();
    if (namePart.find('/') != std::string::npos || namePart == "." || namePart == "..") {
      return Messages::Format(Messages::kBadNamePart, namePart);
    }
    if (SourcePath::IsSpecialFile(o.sourcePath)) {
      return Messages::Format(Messages::kNotRegularSource, o.sourcePath);
    }
    if (m_directory.empty()) {
      return o.folder == FolderChoice::NewFolder
                 ? std::string(Messages::kNoNewDir)
                 : Messages::Format(Messages::kNoExtension, o.sourcePath);
    }
  }
  if (chapters && !m_keywordText.empty()) {
    if (m_keywords.size() > HeadingMatcher::kMaxKeywords) {
      return std::string(Messages::kTooManyKeywords);
    }
    if (m_series == Numerals::Series::None && HeadingMatcher::HasWildcard(m_keywords)) {
      return std::string(Messages::kNoNumeralSeries);
    }
  }
  // What a chapter list would wait on forever or read without end is refused as a split is.
  if (!split && SourcePath::IsSpecialFile(o.sourcePath)) {
    return Messages::Format(Messages::kNotRegularSource, o.sourcePath);
  }
  return std::nullopt;
}

}  // namespace sekato::engine
