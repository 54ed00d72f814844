#pragma once

#include "sekato/charsetguesser.h"

namespace sekato::engine {

/// The character-set guess of libuchardet.
class UchardetGuesser final : public CharsetGuesser {
 public:
  std::string Guess(std::string_view sample) override;
};

}  // namespace sekato::engine
