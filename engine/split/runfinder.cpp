#include "runfinder.h"

#include <algorithm>
#include <cstring>

#include "asciitext.h"
#include "linerunscanner.h"

namespace sekato::engine {

namespace {

// The lines in the first `end` bytes (which end after a line feed), up to `most`: where the
// `most`-th ends, or `end`.
std::size_t CountLines(const char* base, std::size_t& end, std::size_t most) {
  // Wide blocks while the limit lies beyond them, then narrow ones, then line by line to it:
  // a split cut at listed lines counts every line of the book here, and a wide block costs
  // no more a byte than the counting itself.
  constexpr std::size_t kWide = 4096;
  constexpr std::size_t kBlock = 256;
  std::size_t count = 0;
  std::size_t at = 0;
  for (; at + kWide <= end; at += kWide) {
    const std::size_t feeds = AsciiText::Count(base + at, kWide, '\n');
    if (count + feeds >= most) break;
    count += feeds;
  }
  for (; at + kBlock <= end; at += kBlock) {
    const std::size_t feeds = AsciiText::Count(base + at, kBlock, '\n');
    if (count + feeds >= most) break;
    count += feeds;
  }
  while (at < end) {
    const void* feed = std::memchr(base + at, '\n', end - at);
    if (feed == nullptr) break;
    at = static_cast<std::size_t>(static_cast<const char*>(feed) - base) + 1;
    if (++count == most) end = at;
  }
  return count;
}

}  // namespace

std::size_t RunFinder::End(std::string_view atHand, const Limits& limits, std::size_t* taken) {
  if (limits.lines == static_cast<std::size_t>(-1)) return Find(atHand, limits);
  if (limits.lines == 0) return 0;
  // Cut to the lines allowed first, so that a run a few lines short of a cut never looks
  // at the whole buffer.
  std::size_t most = atHand.size();
  std::size_t lines = CountLines(atHand.data(), most, limits.lines);
  const std::size_t end = Find(atHand.substr(0, most), limits);
  if (end < most) {
    most = end;
    lines = CountLines(atHand.data(), most, limits.lines);
  }
  if (taken) *taken = lines;
  return end;
}

std::size_t RunFinder::Find(std::string_view atHand, const Limits& limits) {
  const std::string_view needle = limits.needle;
  if (atHand.empty() || needle.size() == 1) return 0;
  const std::size_t budget = limits.budget;
  const char* const base = atHand.data();
  // The run's last line feed lies at most budget + 1 bytes on.
  const std::size_t at = atHand.size();
  const std::size_t window = budget >= at ? at : std::min(at, budget + 2);
  const void* lastFeed = ::memrchr(base, '\n', window);
  if (lastFeed == nullptr) return 0;
  // The line feed before `p` ends the run; 0 when none does.
  const auto endBefore = [&](std::size_t p) {
    const void* feed = ::memrchr(base, '\n', p);
    return feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - base) + 1 : 0;
  };
  std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lastFeed) - base) + 1;
  // For a UTF-8 character of three bytes or more, the bytes after its first: its first byte
  // leads many other characters.
  const std::size_t skew = needle.size() >= 3 && static_cast<unsigned char>(needle[0]) >= 0xE0;
  const LineRunScanner::Pair pair =
      needle.size() >= 2 ? LineRunScanner::Pair{static_cast<unsigned char>(needle[skew]),
                                                static_cast<unsigned char>(needle[skew + 1])}
                         : LineRunScanner::Pair{};
  const std::string_view space = limits.fullWidthSpace;
  const LineRunScanner::Pair tail =
      space.size() >= 2 ? LineRunScanner::Pair{static_cast<unsigned char>(space[space.size() - 2]),
                                               static_cast<unsigned char>(space[space.size() - 1])}
                        : LineRunScanner::Pair{' ', ' '};  // white space ends a run anyway
  std::size_t from = 0;
  while (from < end) {
    const LineRunScanner::Stop stop = LineRunScanner::FirstStop(
        base, 0, from, end, needle.size() >= 2 ? &pair : nullptr, limits.cleanUp ? &tail : nullptr);
    if (stop.at == LineRunScanner::npos) break;
    const std::size_t p = stop.at;
    if (!stop.pair) {
      end = endBefore(p);
      break;
    }
    const std::size_t start = p - skew;  // where the needle would begin
    if (p < skew || start + needle.size() > end ||
        std::memcmp(base + start, needle.data(), needle.size()) != 0) {
      from = p + 1;  // the pair alone
      continue;
    }
    // A line too long to be a heading stays in the run; its line feed is looked at next.
    const std::size_t lineStart = endBefore(start);
    const auto* feed = static_cast<const char*>(std::memchr(base + start, '\n', end - start));
    const auto lineEnd = static_cast<std::size_t>(feed - base);
    if (lineEnd - lineStart - 1 > limits.headingBytes) {
      from = lineEnd;
      continue;
    }
    end = lineStart;
    break;
  }
  return end;
}

}  // namespace sekato::engine
