#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace sekato::engine {

/// A statistical guess at the character set of a text sample, behind an interface of ours
/// so the library that makes it can be swapped.
class CharsetGuesser {
 public:
  virtual ~CharsetGuesser() = default;

  /// The guessed character set as the library names it ("GB18030", "BIG5", "UTF-8", …), in
  /// capitals, or empty when it cannot tell.
  virtual std::string Guess(std::string_view sample) = 0;

  /// The guesser the program uses (libuchardet).
  static std::unique_ptr<CharsetGuesser> Make();
};

}  // namespace sekato::engine
