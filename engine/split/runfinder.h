#pragma once

#include <cstddef>
#include <string_view>

namespace sekato::engine {

/// Where a run of lines that can be written as the bytes lie must end: the split pass's rule
/// for taking many lines at once instead of one by one.
///
/// A run is whole lines from the start of the bytes at hand: every line feed in it has a CR
/// before it (the break a piece gets anyway), it is at most `budget` bytes long without its
/// last CR LF, and no line in it is one the limits say ends it. Example: at
/// "ab\r\ncd\r\n第\r\nx\r\n" with the needle "第", the run is "ab\r\ncd\r\n" (End gives 8).
class RunFinder final {
 public:
  struct Limits {
    std::size_t budget = static_cast<std::size_t>(-1);  ///< most bytes, without the last CR LF
    /// A line of at most `headingBytes` holding these bytes ends the run (empty: no line
    /// does; one byte: no run is taken).
    std::string_view needle;
    std::size_t headingBytes = 0;
    /// Clean-up: a line it would shorten ends the run (ending in ASCII white space or in
    /// the last two bytes of `fullWidthSpace`); empty lines stay in it, to be dropped.
    bool cleanUp = false;
    std::string_view fullWidthSpace;
    /// Most lines the run may hold (a cut by line number lies beyond them); npos: any.
    std::size_t lines = static_cast<std::size_t>(-1);
  };

  /// The length of the run at the start of `atHand` (which starts a line), its last CR LF
  /// included; 0 when its first line does not qualify. With a limit on lines, `taken` is
  /// told how many the run holds.
  static std::size_t End(std::string_view atHand, const Limits& limits,
                         std::size_t* taken = nullptr);

 private:
  /// End without the limit on lines.
  static std::size_t Find(std::string_view atHand, const Limits& limits);
};

}  // namespace sekato::engine
