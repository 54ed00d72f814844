#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sekato::engine {

/// The chapters a split writes, by their number in the list (from 1): "1-50,60,75-".
///
/// An empty selection chooses every chapter. A range may be open at its end ("75-": 75 on);
/// numbers beyond the book's chapters choose nothing. The text before the first chapter
/// (the preface) goes with chapter 1.
class ChapterSelection final {
 public:
  /// Every chapter.
  ChapterSelection() = default;

  /// Reads "1-50,60,75-" (spaces allowed around numbers); nothing when it is not that
  /// form, a number is 0, or a range runs backwards ("9-3").
  static std::optional<ChapterSelection> Parse(std::string_view text);

  /// True when every chapter is chosen.
  bool All() const { return m_ranges.empty(); }
  bool Contains(std::int64_t chapter) const;
  /// True when a chapter from `first` to `last` is chosen.
  bool AnyIn(std::int64_t first, std::int64_t last) const;
  /// The first and last chosen chapter of a book of `count` chapters; 0 when none is.
  std::int64_t First(std::int64_t count) const;
  std::int64_t Last(std::int64_t count) const;

  /// As Parse reads it: "1-50,60,75-"; empty for every chapter.
  std::string Text() const;

  bool operator==(const ChapterSelection&) const = default;

 private:
  std::vector<std::pair<std::int64_t, std::int64_t>> m_ranges;  ///< last INT64_MAX: open
};

}  // namespace sekato::engine
