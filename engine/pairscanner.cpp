#include "pairscanner.h"

#include <cstdint>
#include <cstring>

namespace sekato::engine {

namespace {

// The scan for one vector width W (GCC vector extensions: plain code on any target, compiled
// again below for AVX2). A block tests the starts at … at + W - 1 and reads bytes
// at … at + W; the last block is moved back to end at `last` (it may test starts again).
using Vec16 = unsigned char __attribute__((vector_size(16)));
using Mask16 = signed char __attribute__((vector_size(16)));
using Vec32 = unsigned char __attribute__((vector_size(32)));
using Mask32 = signed char __attribute__((vector_size(32)));

template <typename Vec, typename Mask>
__attribute__((always_inline)) inline std::size_t Scan(const unsigned char* data,
                                                       std::size_t from, std::size_t last,
                                                       unsigned char first,
                                                       unsigned char second) {
  constexpr std::size_t W = sizeof(Vec);
  Vec wantFirst;
  Vec wantSecond;
  std::memset(&wantFirst, first, W);  // a broadcast, not W inserts
  std::memset(&wantSecond, second, W);
  const auto blockHit = [&](std::size_t at) -> std::size_t {
    Vec a;
    Vec b;
    std::memcpy(&a, data + at, W);
    std::memcpy(&b, data + at + 1, W);
    const Mask hits = (a == wantFirst) & (b == wantSecond);
    std::uint64_t words[W / 8];
    std::memcpy(words, &hits, sizeof words);
    std::uint64_t any = 0;
    for (const std::uint64_t word : words) any |= word;
    if (any == 0) return PairScanner::npos;
    for (std::size_t i = 0; i < W; ++i) {
      if (hits[i] != 0 && at + i >= from) return at + i;
    }
    return PairScanner::npos;
  };
  std::size_t pos = from;
  if (last + 1 >= W) {
    for (; pos + W <= last + 1; pos += W) {
      if (const std::size_t hit = blockHit(pos); hit != PairScanner::npos) return hit;
    }
    return pos <= last ? blockHit(last + 1 - W) : PairScanner::npos;
  }
  for (; pos <= last; ++pos) {
    if (data[pos] == first && data[pos + 1] == second) return pos;
  }
  return PairScanner::npos;
}

std::size_t ScanPortable(const unsigned char* data, std::size_t from, std::size_t last,
                         unsigned char first, unsigned char second) {
  return Scan<Vec16, Mask16>(data, from, last, first, second);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) std::size_t ScanAvx2(const unsigned char* data,
                                                     std::size_t from, std::size_t last,
                                                     unsigned char first,
                                                     unsigned char second) {
  return Scan<Vec32, Mask32>(data, from, last, first, second);
}

using ScanFunction = std::size_t (*)(const unsigned char*, std::size_t, std::size_t,
                                     unsigned char, unsigned char);
ScanFunction ChooseScan() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? ScanAvx2 : ScanPortable;
}
#endif

}  // namespace

std::size_t PairScanner::FindPortable(const unsigned char* data, std::size_t from,
                                      std::size_t last, unsigned char first,
                                      unsigned char second) {
  return from > last ? npos : ScanPortable(data, from, last, first, second);
}

std::size_t PairScanner::Find(const unsigned char* data, std::size_t from, std::size_t last,
                              unsigned char first, unsigned char second) {
  if (from > last) return npos;
#if defined(__x86_64__) && defined(__GNUC__)
  static const ScanFunction scan = ChooseScan();
  return scan(data, from, last, first, second);
#else
  return ScanPortable(data, from, last, first, second);
#endif
}

}  // namespace sekato::engine
