#include "runcleaner.h"

#include <cstring>

#include "cleanupscanner.h"
#include "sekato/textrules.h"

namespace sekato::engine {

RunCleaner::RunCleaner(const TextRules& rules)
    : m_rules(rules), m_space(rules.FullWidthSpace()), m_bShrinks(m_space.size() == 3) {}

// Widens the space that may begin at `at`, if a character begins there, and the spaces right
// after it. `boundary`, a character boundary, is moved on: past the last space widened, or to
// the last boundary before `at`.
inline void RunCleaner::WidenFrom(char* run, std::size_t size, std::size_t at,
                                  std::size_t& boundary) const {
  // A line feed ends every character before it (it follows a CR in a run): most spaces begin
  // their line.
  if (at == 0 || run[at - 1] == '\n') {
    boundary = at;
  } else if (boundary < at) {
    boundary = WalkTo(run, size, at, boundary);
  }
  if (boundary != at) return;  // the bytes straddle two characters
  // A character follows each space: the spaces of a row are widened at once.
  do {
    run[boundary] = run[boundary + 1] = ' ';
    boundary += 2;
  } while (boundary + 1 < size && run[boundary] == m_space[0] && run[boundary + 1] == m_space[1]);
}

std::size_t RunCleaner::WalkTo(const char* run, std::size_t size, std::size_t at,
                               std::size_t boundary) const {
  // The walk starts afresh at the line's start.
  if (const void* feed = ::memrchr(run + boundary, '\n', at - boundary)) {
    boundary = static_cast<std::size_t>(static_cast<const char*>(feed) - run) + 1;
  }
  return boundary + m_rules.BoundaryAtOrBelow({run + boundary, size - boundary}, at - boundary);
}

namespace {

// Where the bytes of the run go as it closes up behind widened spaces and dropped lines:
// `done` bytes of the run are followed, those kept now lie before `out`.
struct Closing {
  char* run;
  std::size_t out;
  std::size_t done;

  // Follows the run up to `to`, moving its bytes to where they now go.
  void MoveTo(std::size_t to) {
    if (out != done && to != done) std::memmove(run + out, run + done, to - done);
    out += to - done;
    done = to;
  }
};

}  // namespace

std::size_t RunCleaner::Clean(char* run, std::size_t size) const {
  const std::size_t width = m_space.size();
  // A few blocks at a time, so that the marks take no memory that grows with the run. The
  // scan goes on where it stopped, reading the two bytes before: what has been written over
  // by then lies further back (every byte moved goes back by at least the two of an empty
  // line, or the one a widened UTF-8 space gives up), or is spaces widened, which make no mark.
  constexpr std::size_t kRoom = 32;
  CleanUpScanner::Block blocks[kRoom];
  Closing closing{run, 0, 0};
  std::size_t boundary = 0;  // for spaces widened in place
  const bool emptyLast = size > 0 && run[size - 1] == '\n';
  for (std::size_t from = 0; from < size;) {
    std::size_t next = size;
    const std::size_t count =
        CleanUpScanner::Collect(run, from, size, m_space, blocks, kRoom, next);
    from = next;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t base = blocks[i].at;
      std::uint64_t spaces = blocks[i].spaces;
      std::uint64_t emptyLines = blocks[i].emptyLines;
      while ((spaces | emptyLines) != 0) {
        const std::uint64_t marks = spaces | emptyLines;
        const std::uint64_t lowest = marks & (~marks + 1);
        const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(marks));
        if ((emptyLines & lowest) != 0) {
          emptyLines ^= lowest;
          // The empty line's own CR LF (ending at `at`) goes: the line before it, if any,
          // keeps the one that ends it, and the run closes up behind.
          closing.MoveTo(at - 1);
          closing.done += 2;
          continue;
        }
        spaces ^= lowest;
        const std::size_t start = at + 1 - width;
        if (m_bShrinks) {
          closing.MoveTo(start);
          run[closing.out] = run[closing.out + 1] = ' ';
          closing.out += 2;
          closing.done += width;
          continue;
        }
        if (start < boundary) continue;
        WidenFrom(run, size, start, boundary);
        // The marks of the spaces widened with it, and of the pairs across them, are spent.
        if (boundary + width - 1 > base) {
          const std::size_t spent = boundary + width - 1 - base;
          spaces &= spent >= 64 ? 0 : ~std::uint64_t{0} << spent;
        }
      }
    }
  }
  closing.MoveTo(size);
  // An empty last line has no CR LF of its own: the one before it goes instead. Whatever was
  // kept before it ends with a CR LF, as every line in a run but the last does.
  if (emptyLast && closing.out >= 2) closing.out -= 2;
  return closing.out;
}

}  // namespace sekato::engine
