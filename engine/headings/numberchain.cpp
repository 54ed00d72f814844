#include "numberchain.h"

#include <unordered_map>

namespace sekato::engine {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

/// A line read one way: 2 × its index, plus 1 for the spoken reading.
std::size_t State(std::size_t link, int reading) {
  return 2 * link + static_cast<std::size_t>(reading);
}

}  // namespace

std::vector<std::size_t> NumberChain::Longest(const std::vector<Link>& links, std::int64_t maxGap,
                                              bool restarts) {
  // length[s]: the longest chain ending at state s; from[s]: the state before it there.
  std::vector<std::int64_t> length(2 * links.size(), 0);
  std::vector<std::size_t> from(2 * links.size(), kNone);
  std::unordered_map<std::int64_t, std::size_t> endingAt;  // number → best state ending there
  std::size_t best = kNone;
  std::size_t bestBeforeVolume = kNone;
  for (std::size_t i = 0; i < links.size(); ++i) {
    if (links[i].volumeBefore) bestBeforeVolume = best;
    for (int reading = 0; reading < 2; ++reading) {
      const std::int64_t number = reading == 0 ? links[i].number : links[i].spoken;
      if (number < 0) continue;
      const std::size_t s = State(i, reading);
      length[s] = 1;
      for (std::int64_t gap = 1; gap <= maxGap && number - gap >= 0; ++gap) {
        const auto found = endingAt.find(number - gap);
        if (found != endingAt.end() && length[found->second] + 1 > length[s]) {
          length[s] = length[found->second] + 1;
          from[s] = found->second;
        }
      }
      if (restarts && number <= 1 && bestBeforeVolume != kNone &&
          length[bestBeforeVolume] + 1 > length[s]) {
        length[s] = length[bestBeforeVolume] + 1;
        from[s] = bestBeforeVolume;
      }
    }
    // Both readings are registered only once both are known: one line never follows itself.
    for (int reading = 0; reading < 2; ++reading) {
      const std::int64_t number = reading == 0 ? links[i].number : links[i].spoken;
      if (number < 0) continue;
      const std::size_t s = State(i, reading);
      const auto [slot, fresh] = endingAt.emplace(number, s);
      if (!fresh && length[s] > length[slot->second]) slot->second = s;
      if (best == kNone || length[s] > length[best]) best = s;
    }
  }
  std::vector<std::size_t> chain;
  for (std::size_t at = best; at != kNone; at = from[at]) chain.push_back(at / 2);
  return {chain.rbegin(), chain.rend()};
}

}  // namespace sekato::engine
