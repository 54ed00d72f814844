#include "sekato/chapterselection.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "asciitext.h"

namespace sekato::engine {

namespace {

// A whole positive number, white space around it allowed; 0 when there is none.
std::int64_t ReadNumber(std::string_view text) {
  text = AsciiText::Trim(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

}  // namespace

std::optional<ChapterSelection> ChapterSelection::Parse(std::string_view text) {
  ChapterSelection selection;
  if (AsciiText::Trim(text).empty()) return selection;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    const std::int64_t first = ReadNumber(item.substr(0, dash));
    std::int64_t last = first;
    if (dash != std::string_view::npos) {
      const std::string_view end = item.substr(dash + 1);
      last = AsciiText::Trim(end).empty() ? INT64_MAX : ReadNumber(end);
    }
    if (first <= 0 || last < first) return std::nullopt;
    selection.m_ranges.emplace_back(first, last);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return selection;
}

bool ChapterSelection::Contains(std::int64_t chapter) const { return AnyIn(chapter, chapter); }

bool ChapterSelection::AnyIn(std::int64_t first, std::int64_t last) const {
  if (All()) return first <= last;
  return std::any_of(m_ranges.begin(), m_ranges.end(), [&](const auto& range) {
    return range.first <= last && first <= range.second;
  });
}

std::int64_t ChapterSelection::First(std::int64_t count) const {
  if (count <= 0) return 0;
  if (All()) return 1;
  std::int64_t first = INT64_MAX;
  for (const auto& range : m_ranges) {
    if (range.first <= count) first = std::min(first, range.first);
  }
  return first == INT64_MAX ? 0 : first;
}

std::int64_t ChapterSelection::Last(std::int64_t count) const {
  if (count <= 0) return 0;
  if (All()) return count;
  std::int64_t last = 0;
  for (const auto& [from, to] : m_ranges) {
    if (from <= count) last = std::max(last, std::min(to, count));
  }
  return last;
}

std::string ChapterSelection::Text() const {
  std::string text;
  for (const auto& [from, to] : m_ranges) {
    if (!text.empty()) text += ',';
    text += std::to_string(from);
    if (to == INT64_MAX) {
      text += '-';
    } else if (to != from) {
      text += '-' + std::to_string(to);
    }
  }
  return text;
}

}  // namespace sekato::engine
