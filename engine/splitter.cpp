#include "splitter.h"

namespace sekato::engine {

const std::string& Splitter::BodyNeedle() const {
  static const std::string kNone;
  return kNone;
}

}  // namespace sekato::engine
