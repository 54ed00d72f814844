#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sekato/scanresult.h"

namespace sekato::engine {

/// Counts the lines that hold a common heading form, to suggest keywords when the user's
/// find nothing: 第N章, 第N回, 第N节, 第N卷 (N a number in any numeral series) and
/// "Chapter N" at the start of a line.
class HeadingForms final {
 public:
  /// Lines longer than this are body text, whatever they hold.
  static constexpr std::size_t kMaxLineBytes = 200;

  /// Notes the forms `line` (GBK, or GB18030 for a book in another encoding) holds; each
  /// form counts once per line.
  void Add(std::string_view line);

  /// The forms that occur, most lines first, with keywords that find them and the title
  /// limit that takes their longest line (never below `titleMax`).
  std::vector<HeadingForm> Forms(std::int64_t titleMax) const;

 private:
  static constexpr std::size_t kForms = 5;
  std::array<std::int64_t, kForms> m_lines{};
  std::array<std::int64_t, kForms> m_longest{};  ///< bytes
};

}  // namespace sekato::engine
