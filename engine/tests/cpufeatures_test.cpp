#include "cpufeatures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace sekato::engine {
namespace {

using L = SimdLevel;

TEST(CpuFeatures, TheEnvironmentLowersTheLevelButNeverRaisesIt) {
  struct Case {
    L supported;
    const char* requested;
    L expected;
  };
  for (const Case& c : {
           Case{L::Avx512, nullptr, L::Avx512},
           Case{L::Avx512, "generic", L::Generic},
           Case{L::Avx512, "sse2", L::Sse2},
           Case{L::Avx512, "avx2", L::Avx2},
           Case{L::Avx512, "avx512", L::Avx512},
           Case{L::Avx2, "avx512", L::Avx2},  // a machine without AVX-512 keeps AVX2
           Case{L::Sse2, "avx2", L::Sse2},
           Case{L::Generic, "sse2", L::Generic},  // another processor than x86-64
           Case{L::Avx2, "", L::Avx2},            // unknown names ask nothing
           Case{L::Avx2, "AVX2x", L::Avx2},
           Case{L::Avx2, "SSE2", L::Avx2},
           Case{L::Avx2, "sse2 ", L::Avx2},
       }) {
    EXPECT_EQ(CpuFeatures::Choose(c.supported, c.requested), c.expected)
        << CpuFeatures::Name(c.supported) << " asked " << (c.requested ? c.requested : "(none)");
  }
}

TEST(CpuFeatures, NamesReadBack) {
  for (const L level : {L::Generic, L::Sse2, L::Avx2, L::Avx512}) {
    EXPECT_EQ(CpuFeatures::Parse(CpuFeatures::Name(level)), std::optional<L>(level));
  }
}

// The scanning tests run again with SEKATO_SIMD set to each level; were it not heeded they
// would all test the widest kernel.
TEST(CpuFeatures, TheRunUsesTheLevelItsEnvironmentAsksFor) {
#if defined(__x86_64__)
  EXPECT_GE(CpuFeatures::Supported(), L::Sse2);
#endif
  const char* requested = std::getenv("SEKATO_SIMD");
  const std::optional<L> wanted = requested ? CpuFeatures::Parse(requested) : std::nullopt;
  if (wanted && *wanted <= CpuFeatures::Supported()) {
    EXPECT_EQ(CpuFeatures::Level(), *wanted);
  } else {
    EXPECT_EQ(CpuFeatures::Level(), CpuFeatures::Supported());
  }
}

}  // namespace
}  // namespace sekato::engine
