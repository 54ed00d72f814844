// Times encoding detection on a file: what choosing a source costs before a split starts.
// Usage: sekato-detectbench FILE [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sekato/encodingdetector.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: sekato-detectbench FILE [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
  std::vector<double> ms;
  std::string name;
  for (int i = 0; i < runs; ++i) {
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const auto found = sekato::engine::EncodingDetector::DetectFile(argv[1], error);
    const auto end = std::chrono::steady_clock::now();
    if (!found) {
      std::fprintf(stderr, "sekato-detectbench: %s: %s\n", argv[1], error.c_str());
      return 1;
    }
    name = found->unmarkedUtf16
               ? "UTF-16 without a mark"
               : std::string(sekato::engine::Encodings::DisplayName(found->encoding));
    ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("detection: %s in %.2f ms (median of %d, slowest %.2f ms): %s\n", name.c_str(),
              ms[ms.size() / 2], runs, ms.back(), argv[1]);
  return 0;
}
