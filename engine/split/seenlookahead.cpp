#include "seenlookahead.h"

#include <algorithm>
#include <cstring>

#include "asciitext.h"
#include "bytesource.h"
#include "chaptersplitter.h"
#include "headingmatcher.h"
#include "sekato/orderedbatches.h"

namespace sekato::engine {

/// Lines kBatchLines at a time, and what matching them found.
struct SeenLookahead::Batch {
  std::string bytes;  ///< the lines, one after another
  std::vector<std::size_t> starts;
  std::vector<Entry> entries;
};

/// What one thread matches with: rules of its own, and the file for lines not kept.
class SeenLookahead::Looker final {
 public:
  explicit Looker(const Setup& setup)
      : m_setup(setup), m_heading(setup.heading, setup.titleMax, *setup.rules) {
    if (setup.volumes) m_volumes.emplace(*setup.volumes, setup.titleMax, *setup.rules);
  }

  /// Fills `batch` with lines [first, first + count) of `survey`, matched.
  void Look(const HeadingSurvey::Result& survey, std::size_t first, std::size_t count,
            Batch& batch) {
    batch.bytes.clear();
    batch.starts.clear();
    batch.entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      const HeadingSurvey::Result::Seen& at = survey.seen[first + i];
      Entry& entry = batch.entries[i];
      entry.line = at.line;
      entry.offset = at.offset;
      entry.failure.clear();
      batch.starts.push_back(batch.bytes.size());
      const auto size = static_cast<std::size_t>(at.size);
      if (at.text >= 0) {
        batch.bytes.append(survey.seenText, static_cast<std::size_t>(at.text), size);
      } else {
        Read(at, batch.bytes, entry.failure);
      }
    }
    batch.starts.push_back(batch.bytes.size());
    for (std::size_t i = 0; i < count; ++i) {
      Entry& entry = batch.entries[i];
      char* data = batch.bytes.data() + batch.starts[i];
      std::size_t size = batch.starts[i + 1] - batch.starts[i];
      if (m_setup.trimSpaces) {
        size = m_setup.rules->WidenFullWidthSpaces(data, size);
        size = AsciiText::TrimRight(std::string_view(data, size)).size();
      }
      entry.text = std::string_view(data, size);
      entry.skipped = (m_setup.trimSpaces && size == 0) || entry.line < m_setup.headingsFrom;
      entry.listable = false;
      entry.listed.clear();
      entry.title.clear();
      if (entry.skipped || !entry.failure.empty()) continue;
      if (m_volumes) m_volumes->LookAt(entry.text, entry.volume);
      m_heading.LookAt(entry.text, entry.heading);
      if (!entry.heading.match) continue;
      if (m_setup.converts) {
        entry.listable = HeadingMatcher::ToMatchText(entry.text, m_setup.text, entry.listed);
      } else {
        entry.listable = true;
      }
      if (entry.listable) {
        entry.title = ChapterSplitter::CleanTitle(
            m_setup.converts ? std::string_view(entry.listed) : entry.text, *m_setup.matchRules);
      }
    }
  }

 private:
  void Read(const HeadingSurvey::Result::Seen& at, std::string& bytes, std::string& failure) {
    std::string reason;
    if (!m_file && !m_openFailed) {
      m_file.emplace();
      if (!m_file->Open(m_setup.sourcePath, reason)) {
        m_openFailed = true;
        m_openReason = reason;
      }
    }
    if (m_openFailed) {
      failure = m_openReason;
      return;
    }
    const std::size_t start = bytes.size();
    const auto size = static_cast<std::size_t>(at.size);
    bytes.resize(start + size);
    int error = 0;
    if (m_file->ReadFullyAt(bytes.data() + start, size, at.offset, error) != size) {
      failure = error != 0 ? std::strerror(error) : "the file got shorter";
      bytes.resize(start);
    }
  }

  const Setup& m_setup;
  HeadingRule m_heading;
  std::optional<HeadingRule> m_volumes;
  std::optional<ByteSource> m_file;
  bool m_openFailed = false;
  std::string m_openReason;
};

bool SeenLookahead::Run(const HeadingSurvey::Result& survey, unsigned threads,
                        const Taker& take) const {
  const std::size_t lines = survey.seen.size();
  const std::size_t batches = (lines + kBatchLines - 1) / kBatchLines;
  std::vector<Batch> slots(OrderedBatches::kSlots);
  // Each thread matches with rules of its own, made on it.
  std::vector<std::optional<Looker>> lookers(std::max(threads, 1U));
  const auto make = [&](std::size_t batch, std::size_t slot, unsigned thread) {
    std::optional<Looker>& looker = lookers[thread];
    if (!looker) looker.emplace(m_setup);
    const std::size_t first = batch * kBatchLines;
    looker->Look(survey, first, std::min(kBatchLines, lines - first), slots[slot]);
  };
  const auto use = [&](std::size_t /*batch*/, std::size_t slot) {
    for (Entry& entry : slots[slot].entries) {
      if (!take(entry)) return false;
    }
    return true;
  };
  return OrderedBatches::Run(batches, threads, make, use);
}

}  // namespace sekato::engine
