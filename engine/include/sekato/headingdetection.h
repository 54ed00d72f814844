#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sekato::engine {

/// What automatic detection found in a book: the heading form that explains the most
/// lines, written as a rule a person can read and reuse (a --regex pattern whose group n
/// carries the chapter number).
///
/// Example, the sample novel: chapters "第N回（中文数字）", 120 lines, pattern
/// "^(?!…)[ \t　]*第[ \t　]*(?<n>[〇零一…]+)[ \t　]*回(?![合家…])", no volumes.
struct HeadingDetection {
  /// A heading form and how many lines its chain of numbers explains.
  struct Form {
    std::string description;  ///< UTF-8: "第N章（中文数字）", "N、", "Chapter N"
    std::string pattern;      ///< UTF-8 regular expression, the number in group n
    std::string unit;         ///< what one is called: "章", "回", "卷"
    std::int64_t lines = 0;
  };
  bool found = false;
  Form chapters;                   ///< the chapter form
  std::vector<Form> alternatives;  ///< the other forms, most lines first
  Form volumes;                    ///< the volume form; empty pattern when the book has none
  bool restarts = false;           ///< chapter numbers start again in each volume
  std::vector<std::int64_t> headingLines;  ///< chapters and special headings, 1-based, in order
  std::vector<std::int64_t> volumeLines;   ///< volume headings, 1-based, in order
  /// The contents block in front, as lines [first, last]; 0, 0 when there is none.
  std::int64_t contentsFirst = 0;
  std::int64_t contentsLast = 0;
  std::int64_t longestTitle = 0;  ///< characters of the longest heading taken
  /// The number of the first chapter: 1, or more for a book that begins further on.
  std::int64_t firstNumber = 1;
};

}  // namespace sekato::engine
