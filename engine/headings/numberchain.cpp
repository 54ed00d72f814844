#include "numberchain.h"

#include <unordered_map>

namespace sekato::engine {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

std::vector<std::size_t> NumberChain::Longest(const std::vector<Link>& links, std::int64_t maxGap,
                                              bool restarts) {
  // length[i]: the longest chain ending at links[i]; from[i]: the link before it there.
  std::vector<std::int64_t> length(links.size(), 0);
  std::vector<std::size_t> from(links.size(), kNone);
  std::unordered_map<std::int64_t, std::size_t> endingAt;  // number → best link ending there
  std::size_t best = kNone;
  std::size_t bestBeforeVolume = kNone;
  for (std::size_t i = 0; i < links.size(); ++i) {
    const std::int64_t number = links[i].number;
    if (links[i].volumeBefore) bestBeforeVolume = best;
    if (number < 0) continue;
    length[i] = 1;
    for (std::int64_t gap = 1; gap <= maxGap && number - gap >= 0; ++gap) {
      const auto found = endingAt.find(number - gap);
      if (found != endingAt.end() && length[found->second] + 1 > length[i]) {
        length[i] = length[found->second] + 1;
        from[i] = found->second;
      }
    }
    if (restarts && number <= 1 && bestBeforeVolume != kNone &&
        length[bestBeforeVolume] + 1 > length[i]) {
      length[i] = length[bestBeforeVolume] + 1;
      from[i] = bestBeforeVolume;
    }
    const auto [slot, fresh] = endingAt.emplace(number, i);
    if (!fresh && length[i] > length[slot->second]) slot->second = i;
    if (best == kNone || length[i] > length[best]) best = i;
  }
  std::vector<std::size_t> chain;
  for (std::size_t at = best; at != kNone; at = from[at]) chain.push_back(at);
  return {chain.rbegin(), chain.rend()};
}

bool NumberChain::Restarts(const std::vector<Link>& links, const std::vector<std::size_t>& chain) {
  for (std::size_t i = 1; i < chain.size(); ++i) {
    if (links[chain[i]].number <= links[chain[i - 1]].number) return true;
  }
  return false;
}

}  // namespace sekato::engine
