#pragma once

#include <optional>
#include <string_view>

namespace sekato::engine {

/// How wide the vectors are that the byte scanners (pairs, line runs, UTF-8 blocks) use. Each
/// level includes the ones before it.
enum class SimdLevel { Generic, Sse2, Avx2, Avx512 };

/// The scanners' kernel level: what the processor has, found once per process, unless the
/// environment variable SEKATO_SIMD names a lower one. `SEKATO_SIMD=generic` runs the plain
/// byte-by-byte scans, as on a processor without vectors; tests run under every level the
/// machine has, so each kernel is held to the same answers.
class CpuFeatures final {
 public:
  /// The level every scan uses (detected on the first call, the same for the process).
  static SimdLevel Level();
  /// The widest level this processor has: Generic on other targets than x86-64, at least
  /// Sse2 on x86-64; Avx2 wants POPCNT too, Avx512 wants AVX-512 F and BW.
  static SimdLevel Supported();
  /// The level to use on a processor with `supported` when `requested` (the environment's
  /// value, or null) asks: never above `supported`; an unknown or empty name asks nothing.
  /// Choose(Avx2, "avx512") is Avx2; Choose(Avx512, "sse2") is Sse2; Choose(Avx2, "x") is Avx2.
  static SimdLevel Choose(SimdLevel supported, const char* requested);
  /// The level named "generic", "sse2", "avx2" or "avx512"; nothing for another name.
  static std::optional<SimdLevel> Parse(std::string_view name);
  /// The lower-case name Parse takes.
  static const char* Name(SimdLevel level);
};

}  // namespace sekato::engine
