#pragma once

#include <optional>
#include <string>
#include <vector>

#include "headingrule.h"
#include "piecenamer.h"
#include "sekato/message.h"
#include "sekato/numerals.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

/// What a split, or the chapter list of one, works with, read once from the options: the
/// folder, the keywords cut apart, the numeral series for "?" and the pieces' names. Both
/// refuse options from one set of rules and name pieces with one namer, so the chapter list
/// never promises what the split would refuse or name otherwise.
///
/// Example: keywords "第  章 " in chapter mode with series None read as the one keyword
/// "第 章"; "第 ? 章" with series None is refused ("…必须选择替换?的自增符。").
class SplitPlan final {
 public:
  /// What the options are checked for.
  enum class Purpose {
    Split,        ///< a split in the options' own mode
    ChapterList,  ///< the chapter list, whatever the mode: only the chapter settings count
  };

  /// `options` must outlive the plan.
  explicit SplitPlan(const SplitOptions& options);

  /// Why the options cannot be used for `purpose`, before anything is read or made; nothing
  /// when they can. A split with no keywords is refused later (see EmptyKeywordsRefused).
  std::optional<Message> Refusal(Purpose purpose) const;
  /// True when a split finds no keywords once its folder exists: refused then.
  bool EmptyKeywordsRefused() const {
    return m_options.mode == SplitMode::ByChapter && !ByRule() && m_keywordText.empty();
  }
  /// True when headings are told by a regular expression rather than the keywords.
  bool ByRule() const { return !m_options.regex.empty(); }
  /// The rule's compiled patterns; only when ByRule and not refused.
  const HeadingRule::Patterns& Patterns() const { return *m_patterns; }
  /// The volume rule's patterns, when the options have one and it compiles.
  const std::optional<HeadingRule::Patterns>& VolumePatterns() const { return m_volumePatterns; }

  const SplitOptions& Options() const { return m_options; }
  Numerals::Series Series() const { return m_options.numerals; }
  /// Where the pieces go; empty when there is nowhere (refused).
  const std::string& Directory() const { return m_directory; }
  /// The keywords as typed, white space normalised, in the options' text encoding.
  const std::string& KeywordText() const { return m_keywordText; }
  const std::vector<std::string>& Keywords() const { return m_keywords; }
  const PieceNamer& Namer() const { return m_namer; }

  /// Puts the keywords into another encoding (the run's text), cut apart again.
  void SetKeywordText(std::string text);

 private:
  const SplitOptions& m_options;
  std::string m_directory;
  std::string m_keywordText;
  std::vector<std::string> m_keywords;
  PieceNamer m_namer;
  std::optional<HeadingRule::Patterns> m_patterns;
  std::optional<HeadingRule::Patterns> m_volumePatterns;
  Message m_volumeRefusal;
  Message m_patternRefusal;
};

}  // namespace sekato::engine
