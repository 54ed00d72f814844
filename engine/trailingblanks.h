#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace sekato::engine {

/// The white space at the end of what has been read of a long line, held back while clean-up
/// cannot yet tell whether text follows it (then it is written) or the line ends (then it is
/// trimmed away).
///
/// It is held as runs of one byte ("   \t\t" is two runs), so a long stretch of blanks costs
/// a few bytes. Should a line alternate blanks more than `kMaxRuns` times, Add takes no more
/// and the caller writes what is held as text: memory stays bounded, nothing is ever lost.
class TrailingBlanks final {
 public:
  static constexpr std::size_t kMaxRuns = 4096;

  /// Appends blanks (every byte white space) up to the run limit; returns how many it took.
  std::size_t Add(std::string_view blanks);

  /// Hands out everything held, in order, in chunks of at most a few KB, then holds nothing;
  /// false as soon as `write` returns false.
  bool Drain(const std::function<bool(std::string_view)>& write);

  void Clear() { m_runs.clear(); }
  bool Empty() const { return m_runs.empty(); }

 private:
  std::vector<std::pair<char, std::uint64_t>> m_runs;
};

}  // namespace sekato::engine
