#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "sekato/message.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"

namespace sekato::engine {

/// Every line of a source, read one by one as the split reads it: through the decoder when
/// it converts or skips a byte-order mark, long lines in parts. The passes that only look
/// (the chapter list, heading detection) walk a source this way when they cannot sift it.
class LineWalk final {
 public:
  enum class End { Done, Stopped, Failed };
  /// One whole line: its text (which may be cleaned in place), its size, and the source
  /// offset of its first byte. Lines longer than a part are body text and not taken: the
  /// line count (see `lines`) shows they were there.
  using Take = std::function<void(char*, std::size_t, std::int64_t)>;
  /// Told the source offset come to; false stops the walk.
  using KeepGoing = std::function<bool(std::int64_t)>;

  /// Long lines come in parts of this size, so memory stays bounded.
  static constexpr std::size_t kPartLimit = std::size_t{1} << 20;

  /// Walks `path`, whose first `markBytes` are a byte-order mark. `lines` counts the lines
  /// as they come (so it numbers the line `take` is given) and `sourceBytes` is the
  /// source's size; on failure `failure` says why.
  static End Run(const std::string& path, std::size_t markBytes, SourceDecoder& decoder,
                 const TextRules& rules, std::int64_t& lines, std::int64_t& sourceBytes,
                 const Take& take, const KeepGoing& keepGoing, Message& failure);
};

}  // namespace sekato::engine
