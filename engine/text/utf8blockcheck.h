#pragma once

#include <cstddef>

namespace sekato::engine {

/// Checks UTF-8 32 bytes at a time where the processor can (AVX2), so that reading a UTF-8
/// book costs about what reading a GBK one does.
///
/// ValidLength gives a length that is surely valid UTF-8 of whole characters, from the start
/// of `data`: a multiple of the block size or a little less (back to where the last character
/// begins), and 0 where the processor has no AVX2 (or CpuFeatures::Level() is below it) or
/// the first block holds an error. The caller checks the rest byte by byte and finds the
/// exact place of any error there.
class Utf8BlockCheck final {
 public:
  static std::size_t ValidLength(const unsigned char* data, std::size_t size);
};

}  // namespace sekato::engine
