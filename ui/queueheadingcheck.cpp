#include "queueheadingcheck.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "sekato/chapterscan.h"
#include "sekato/workerpool.h"

namespace sekato::ui {

namespace {

/// Whether a chapter split by `options` finds no heading in its book; false when the book
/// cannot be read or is not split by chapter.
bool FindsNoHeading(const engine::SplitOptions& options) {
  if (options.mode != engine::SplitMode::ByChapter || options.toc) return false;
  try {
    const engine::ScanResult result = engine::ChapterScan::Run(options);
    if (result.status != engine::ScanResult::Status::Done) return false;
    if (options.autoDetect) return !(result.detected && result.detection.found);
    return result.headingCount == 0;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

std::vector<std::size_t> QueueHeadingCheck::BooksWithoutHeadings(
    const std::vector<engine::SplitOptions>& runs, unsigned jobs) {
  std::vector<char> none(runs.size(), 0);
  std::atomic<std::size_t> next{0};
  if (jobs == 0) jobs = engine::WorkerPool::Processors();
  jobs = std::max(1U, std::min(jobs, static_cast<unsigned>(runs.size())));
  engine::WorkerPool::Run(jobs, [&] {
    for (std::size_t i = next++; i < runs.size(); i = next++) {
      none[i] = FindsNoHeading(runs[i]) ? 1 : 0;
    }
  });
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (none[i] != 0) found.push_back(i);
  }
  return found;
}

}  // namespace sekato::ui
