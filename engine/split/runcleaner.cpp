#include "runcleaner.h"

#include <cstring>

#include "cleanupscanner.h"
#include "sekato/textrules.h"

namespace sekato::engine {

RunCleaner::RunCleaner(const TextRules& rules, bool inPlace)
    : m_rules(rules), m_bInPlace(inPlace) {}

void RunCleaner::Clean(char* run, std::size_t size,
                       const std::function<void(std::string_view)>& take) const {
  if (!m_bInPlace) size = m_rules.WidenFullWidthSpaces(run, size);
  const std::string_view space = m_bInPlace ? m_rules.FullWidthSpace() : std::string_view();
  const std::string_view text(run, size);
  // A few blocks at a time, so that the marks take no memory that grows with the run.
  constexpr std::size_t kRoom = 32;
  CleanUpScanner::Block blocks[kRoom];
  std::size_t stretch = 0;   // where the stretch at hand begins
  std::size_t boundary = 0;  // for the spaces
  for (std::size_t from = 0; from < size;) {
    std::size_t next = size;
    const std::size_t count = CleanUpScanner::Collect(run, from, size, space, blocks, kRoom, next);
    for (std::size_t i = 0; i < count; ++i) {
      const CleanUpScanner::Block& block = blocks[i];
      for (std::uint64_t marks = block.spaces | block.emptyLines; marks != 0;
           marks &= marks - 1) {
        const auto bit = static_cast<unsigned>(__builtin_ctzll(marks));
        const std::size_t at = block.at + bit;
        if (((block.spaces >> bit) & 1u) != 0) {
          // Most marks are the bytes of spaces widened already, after the first of a row.
          const std::size_t start = at + 1 - space.size();
          if (start >= boundary) WidenFrom(run, size, start, boundary);
          continue;
        }
        // The empty line is the CR LF ending at `at`; a stretch before it ends with the CR LF
        // of its last line.
        if (stretch + 1 < at) take(text.substr(stretch, at - 3 - stretch));
        stretch = at + 1;
      }
    }
    from = next;
  }
  if (stretch < size) {
    const bool emptyLast = run[size - 1] == '\n';
    take(text.substr(stretch, size - stretch - (emptyLast ? 2 : 0)));
  }
}

void RunCleaner::WidenFrom(char* run, std::size_t size, std::size_t at,
                           std::size_t& boundary) const {
  if (boundary < at) {
    // A line feed ends every character before it (it follows a CR in a run), so the walk
    // starts afresh at the line's start. Most spaces begin their line.
    if (run[at - 1] == '\n') {
      boundary = at;
    } else if (const void* feed = ::memrchr(run + boundary, '\n', at - boundary)) {
      boundary = static_cast<std::size_t>(static_cast<const char*>(feed) - run) + 1;
    }
    // The largest boundary at or below the space: the space's own start, or one before it
    // that the next space is walked on from.
    boundary += m_rules.BoundaryAtOrBelow({run + boundary, size - boundary}, at - boundary);
  }
  if (boundary != at) return;  // the bytes straddle two characters
  // A character follows each space: the spaces of a row are widened at once.
  const std::string_view space = m_rules.FullWidthSpace();
  do {
    run[boundary] = run[boundary + 1] = ' ';
    boundary += 2;
  } while (boundary + 1 < size && run[boundary] == space[0] && run[boundary + 1] == space[1]);
}

}  // namespace sekato::engine
