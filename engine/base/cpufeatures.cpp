#include "cpufeatures.h"

#include <cstdlib>

namespace sekato::engine {

SimdLevel CpuFeatures::Level() {
  static const SimdLevel level = Choose(Supported(), std::getenv("SEKATO_SIMD"));
  return level;
}

SimdLevel CpuFeatures::Supported() {
#if defined(__x86_64__) && defined(__GNUC__)
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("popcnt")) {
    return SimdLevel::Sse2;  // every x86-64 processor has SSE2
  }
  if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw")) {
    return SimdLevel::Avx2;
  }
  return SimdLevel::Avx512;
#else
  return SimdLevel::Generic;
#endif
}

SimdLevel CpuFeatures::Choose(SimdLevel supported, const char* requested) {
  if (requested == nullptr) return supported;
  const std::optional<SimdLevel> wanted = Parse(requested);
  return wanted && *wanted < supported ? *wanted : supported;
}

std::optional<SimdLevel> CpuFeatures::Parse(std::string_view name) {
  for (const SimdLevel level :
       {SimdLevel::Generic, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
    if (name == Name(level)) return level;
  }
  return std::nullopt;
}

const char* CpuFeatures::Name(SimdLevel level) {
  switch (level) {
    case SimdLevel::Generic:
      return "generic";
    case SimdLevel::Sse2:
      return "sse2";
    case SimdLevel::Avx2:
      return "avx2";
    case SimdLevel::Avx512:
      return "avx512";
  }
  return "generic";
}

}  // namespace sekato::engine
