#include "trailingblanks.h"

#include <algorithm>
#include <vector>

#include "linereader.h"
#include "sekato/textrules.h"

namespace sekato::engine {

bool TrailingBlanks::Drain(LineReader& source, const TextRules& rules,
                           const std::function<bool(std::string_view)>& write) {
  constexpr std::int64_t kChunk = 1 << 16;
  std::vector<char> chunk(static_cast<std::size_t>(kChunk));
  while (m_nLength > 0) {
    const auto wanted = static_cast<std::size_t>(std::min(m_nLength, kChunk));
    if (!source.ReadAt(m_nOffset, chunk.data(), wanted)) {
      Clear();
      return false;
    }
    // Blanks are ASCII bytes and full-width spaces: unless the chunk is the last, it ends
    // before a character it may have cut (one of up to four bytes).
    std::size_t end = wanted;
    if (static_cast<std::int64_t>(wanted) < m_nLength) {
      end = rules.BoundaryAtOrBelow(std::string_view(chunk.data(), wanted), wanted - 3);
      if (end == 0) end = wanted;
    }
    const std::size_t widened = rules.WidenFullWidthSpaces(chunk.data(), end);
    if (!write(std::string_view(chunk.data(), widened))) {
      Clear();
      return false;
    }
    m_nOffset += static_cast<std::int64_t>(end);
    m_nLength -= static_cast<std::int64_t>(end);
  }
  return true;
}

}  // namespace sekato::engine
