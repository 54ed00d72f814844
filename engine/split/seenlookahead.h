#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headingrule.h"
#include "headingsurvey.h"
#include "sekato/encoding.h"
#include "sekato/textrules.h"

namespace sekato::engine {

/// The lines a survey kept (HeadingSurvey::Result::seen), matched by a heading rule ahead of
/// the chapter list that takes them: what a line's match finds does not depend on the lines
/// before it, only whether it continues the chain does. So each batch of lines is matched
/// on whichever thread is free, by rules of its own made of the same patterns, while the
/// calling thread takes the batches in book order (HeadingRule::Take), and the list comes
/// out as if every line had been matched where it stands.
///
/// Example: 30 000 lines in batches of kBatchLines; the other thread matches batch 3 while
/// the caller takes batch 2 and then, batch 3 not ready yet, matches batch 4 itself.
class SeenLookahead final {
 public:
  /// How the lines are matched: as Listing does with a rule.
  struct Setup {
    HeadingRule::Patterns heading;
    std::optional<HeadingRule::Patterns> volumes;
    std::int64_t titleMax = 0;
    const TextRules* rules = nullptr;       ///< of the source's text
    const TextRules* matchRules = nullptr;  ///< of the text titles are listed in
    Encoding text = Encoding::Gbk;          ///< the source's text
    bool converts = false;                  ///< titles are listed converted (ToMatchText)
    bool trimSpaces = false;
    std::int64_t headingsFrom = 0;  ///< lines before it are passed over
    std::string sourcePath;         ///< where lines the survey did not keep are read
  };
  /// One line as matched.
  struct Entry {
    std::int64_t line = 0;
    std::int64_t offset = 0;
    std::string_view text;  ///< the line, trimmed when told; into the batch
    bool skipped = false;   ///< nothing to match: before headingsFrom, or empty once trimmed
    HeadingRule::Look volume;
    HeadingRule::Look heading;
    bool listable = false;  ///< heading.match and the line converts into the listed text
    std::string listed;     ///< the line as listed, when `converts` and listable
    std::string title;      ///< its clean title, when listable
    std::string failure;    ///< why the line could not be read; empty when it was
  };
  /// Told each line in book order (it may take the strings); false stops.
  using Taker = std::function<bool(Entry&)>;

  /// Lines matched at a time; OrderedBatches::kAhead batches at most are matched ahead, so
  /// what the look-ahead holds does not grow with the book.
  static constexpr std::size_t kBatchLines = 128;

  explicit SeenLookahead(Setup setup) : m_setup(std::move(setup)) {}

  /// Matches every line of `survey` and hands them to `take` in order, on `threads` threads
  /// (1: all on the caller's). False when `take` said stop.
  bool Run(const HeadingSurvey::Result& survey, unsigned threads, const Taker& take) const;

 private:
  struct Batch;
  class Looker;

  Setup m_setup;
};

}  // namespace sekato::engine
