#include "numberchain.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace sekato::engine {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

/// A line read one way: 2 × its index, plus 1 for the spoken reading.
std::size_t State(std::size_t link, int reading) {
  return 2 * link + static_cast<std::size_t>(reading);
}

/// Number → the best state ending there, for numbers up to a bound known ahead: a slot a
/// number, as a book's chapter numbers mostly run from 1 to about as many as it has lines.
class DenseEnds final {
 public:
  explicit DenseEnds(std::int64_t most) : m_states(static_cast<std::size_t>(most) + 1, kEmpty) {}
  /// The state ending at `number`, kNone when none does.
  std::size_t Find(std::int64_t number) const {
    const std::uint32_t state = m_states[static_cast<std::size_t>(number)];
    return state == kEmpty ? kNone : state;
  }
  /// Sets the state ending at `number` to `state` when `better` says so, or when none is.
  template <typename Better>
  void Offer(std::int64_t number, std::size_t state, const Better& better) {
    std::uint32_t& slot = m_states[static_cast<std::size_t>(number)];
    if (slot == kEmpty || better(slot)) slot = static_cast<std::uint32_t>(state);
  }

 private:
  static constexpr std::uint32_t kEmpty = static_cast<std::uint32_t>(-1);
  std::vector<std::uint32_t> m_states;  ///< four bytes a slot, so the table stays small
};

/// The same for numbers of any size.
class SparseEnds final {
 public:
  explicit SparseEnds(std::int64_t /*most*/) {}
  std::size_t Find(std::int64_t number) const {
    const auto found = m_states.find(number);
    return found == m_states.end() ? kNone : found->second;
  }
  template <typename Better>
  void Offer(std::int64_t number, std::size_t state, const Better& better) {
    const auto [slot, fresh] = m_states.emplace(number, state);
    if (!fresh && better(slot->second)) slot->second = state;
  }

 private:
  std::unordered_map<std::int64_t, std::size_t> m_states;
};

/// The state the longest chain ends in, kNone when none does; `from[s]` the state before s
/// in it.
template <typename Ends>
std::size_t LongestWith(const std::vector<NumberChain::Link>& links, std::int64_t maxGap,
                        bool restarts, std::vector<std::int64_t>& length,
                        std::vector<std::size_t>& from, std::int64_t most) {
  Ends endingAt(std::max<std::int64_t>(most, 0));
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
        const std::size_t found = endingAt.Find(number - gap);
        if (found != kNone && length[found] + 1 > length[s]) {
          length[s] = length[found] + 1;
          from[s] = found;
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
      endingAt.Offer(number, s, [&](std::size_t held) { return length[s] > length[held]; });
      if (best == kNone || length[s] > length[best]) best = s;
    }
  }
  return best;
}

}  // namespace

std::vector<std::size_t> NumberChain::Longest(const std::vector<Link>& links, std::int64_t maxGap,
                                              bool restarts) {
  std::int64_t most = -1;
  for (const Link& link : links) most = std::max({most, link.number, link.spoken});
  // A slot a number while that costs no more than a few times the links: else a hash.
  const auto dense = static_cast<std::int64_t>(4 * links.size() + 4096);
  // length[s]: the longest chain ending at state s; from[s]: the state before it there.
  std::vector<std::int64_t> length(2 * links.size(), 0);
  std::vector<std::size_t> from(2 * links.size(), kNone);
  // The table is let go before the chain is made: what lasts is not kept above it.
  const std::size_t best =
      most <= dense && 2 * links.size() < std::size_t{0xFFFFFFFF}
          ? LongestWith<DenseEnds>(links, maxGap, restarts, length, from, most)
          : LongestWith<SparseEnds>(links, maxGap, restarts, length, from, most);
  length = {};
  std::size_t count = 0;
  for (std::size_t at = best; at != kNone; at = from[at]) ++count;
  std::vector<std::size_t> chain(count);
  for (std::size_t at = best; at != kNone; at = from[at]) chain[--count] = at / 2;
  return chain;
}

}  // namespace sekato::engine
