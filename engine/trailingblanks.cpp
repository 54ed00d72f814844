#include "trailingblanks.h"

#include <algorithm>
#include <vector>

#include "gbktext.h"
#include "linereader.h"

namespace sekato::engine {

bool TrailingBlanks::Drain(LineReader& source,
                           const std::function<bool(std::string_view)>& write) {
  constexpr std::int64_t kChunk = 1 << 16;
  std::vector<char> chunk(static_cast<std::size_t>(kChunk));
  while (m_nLength > 0) {
    const auto wanted = static_cast<std::size_t>(std::min(m_nLength, kChunk));
    if (!source.ReadAt(m_nOffset, chunk.data(), wanted)) {
      Clear();
      return false;
    }
    // Blanks are ASCII bytes and full-width spaces: end before a pair the chunk splits.
    std::size_t end = 0;
    while (end < wanted) {
      const auto byte = static_cast<unsigned char>(chunk[end]);
      const std::size_t next = end + (GbkText::IsLead(byte) ? 2 : 1);
      if (next > wanted) break;
      end = next;
    }
    if (end == 0) end = wanted;
    GbkText::WidenFullWidthSpaces(chunk.data(), end);
    if (!write(std::string_view(chunk.data(), end))) {
      Clear();
      return false;
    }
    m_nOffset += static_cast<std::int64_t>(end);
    m_nLength -= static_cast<std::int64_t>(end);
  }
  return true;
}

}  // namespace sekato::engine
