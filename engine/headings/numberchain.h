#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sekato::engine {

/// The longest run of chapter numbers going up by one through a list of numbered lines, the
/// way a reader follows a book's chapters: the lines of one heading form, in book order.
///
/// A step may skip a few numbers (a chapter missing from the book), at most `maxGap` − 1 of
/// them. A repeated number is never part of the chain: the first line with it is, the
/// later ones are body text. Where `restarts` is set and a volume heading stands between two
/// lines, the numbers may also start again from 1 there.
///
/// Numbers 1 2 3 7 4 5 → the chain is 1 2 3 4 5 (7 stays out); 1 2 2 3 → the first 2;
/// with a volume between 3 and the second 1, 1 2 3 | 1 2 → all five. A line with two
/// readings joins the chain by whichever continues it: 129, 一百三 (103 or 130), 131.
class NumberChain final {
 public:
  struct Link {
    std::int64_t number = -1;   ///< -1: unreadable, never in a chain
    std::int64_t spoken = -1;   ///< a second reading ("一百三": 103, spoken 130); -1: none
    bool volumeBefore = false;  ///< a volume heading stands between this line and the last
  };

  /// The indexes into `links` of the longest chain, in order; empty when `links` has no
  /// readable number. Ties go to the chain that ends first.
  static std::vector<std::size_t> Longest(const std::vector<Link>& links, std::int64_t maxGap,
                                          bool restarts);
};

}  // namespace sekato::engine
