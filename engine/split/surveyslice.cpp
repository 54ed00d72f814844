#include "surveyslice.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "sekato/workerpool.h"

namespace sekato::engine {

SurveySlice::Shared::Shared(Encoding textEncoding, std::int64_t titleMaxChars)
    : text(textEncoding),
      titleMax(titleMaxChars),
      sieve(textEncoding, std::max(titleMaxChars, HeadingDetector::kMinTitleChars)),
      openers(sieve.Openers()) {}

SurveySlice::SurveySlice(Shared& shared)
    : m_shared(shared),
      m_detector(shared.titleMax),
      m_scan(static_cast<std::size_t>(m_detector.LongestCandidateBytes())),
      m_toUtf8(shared.text, Encoding::Utf8) {
  m_scan.Only(&shared.openers);
}

unsigned SurveySlice::Threads() { return std::min(WorkerPool::Processors(), kMaxThreads); }

std::vector<ShortLineScan::End> SurveySlice::RunAll(
    const std::vector<std::unique_ptr<SurveySlice>>& slices, std::int64_t start, SplitHost* host) {
  const std::size_t count = slices.size();
  const std::int64_t length = count > 0 ? slices.front()->Length() : 0;
  std::vector<std::atomic<std::int64_t>> done(count);  // bytes read in each slice
  std::vector<ShortLineScan::End> ends(count, ShortLineScan::End::Done);
  std::atomic<bool> stop{false};
  std::atomic<std::size_t> next{1};  // the first slice is the caller's
  std::mutex mutex;
  std::condition_variable ended;
  std::size_t finished = 0;  // guarded by `mutex`
  const std::thread::id caller = std::this_thread::get_id();
  std::int64_t nextReport = kProgressStep;
  // On the calling thread only: tells the host, when due; false when it says stop.
  const auto report = [&] {
    std::int64_t at = start;
    for (const auto& bytes : done) at += bytes.load(std::memory_order_relaxed);
    if (at < nextReport) return true;
    nextReport = at + kProgressStep;
    if (!host || host->Progress(at, length)) return true;
    stop.store(true, std::memory_order_relaxed);
    return false;
  };
  const auto run = [&](std::size_t i) {
    SurveySlice& slice = *slices[i];
    const bool own = std::this_thread::get_id() == caller;
    ends[i] = slice.Run([&, i, own](std::int64_t position) {
      done[i].store(position - slice.From(), std::memory_order_relaxed);
      return !stop.load(std::memory_order_relaxed) && (!own || report());
    });
    // A slice that cannot be read fails the survey: the others need not go on.
    if (ends[i] == ShortLineScan::End::Failed) stop.store(true, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> lock(mutex);
    ++finished;
    ended.notify_all();
  };
  const auto work = [&] {
    const bool own = std::this_thread::get_id() == caller;
    if (own && count > 0) run(0);
    for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) run(i);
    if (!own) return;
    std::unique_lock<std::mutex> lock(mutex);
    while (finished < count) {
      ended.wait_for(lock, std::chrono::milliseconds(20));
      lock.unlock();
      report();
      lock.lock();
    }
  };
  const auto threads = static_cast<unsigned>(std::min<std::size_t>(count, Threads()));
  if (threads <= 1) {
    work();
  } else {
    WorkerPool::Run(threads, work);
  }
  return ends;
}

void SurveySlice::Cover(std::int64_t from, std::int64_t to) {
  m_nFrom = from;
  m_scan.Limit(from, to);
}

bool SurveySlice::Open(const std::string& path, std::int64_t markBytes, std::string& error) {
  return m_scan.Open(path, markBytes, error);
}

ShortLineScan::End SurveySlice::Run(const ShortLineScan::BlockSink& keepGoing) {
  const auto take = [this](const ShortLineScan::Line& line) {
    // An empty line is neither body text nor a heading: nothing to look at, unless a long
    // line came before it.
    if (line.size != 0 || line.longBefore) Look(line);
    return true;
  };
  const ShortLineScan::End end = m_scan.Run(take, keepGoing);
  // Long lines at the slice's end stand before the next slice's first line.
  if (end == ShortLineScan::End::Done && m_scan.LongAtEnd()) m_detector.OfferBody(Lines());
  return end;
}

void SurveySlice::Look(const ShortLineScan::Line& line) {
  if (line.longBefore) m_detector.OfferBody(line.number - 1);
  const std::string_view text(line.data, line.size);
  switch (m_shared.sieve.Look(text)) {
    case CandidateSieve::Verdict::Blank:
      return;
    case CandidateSieve::Verdict::Body:
      m_detector.OfferBody(line.number);
      return;
    case CandidateSieve::Verdict::Candidate:
      break;
  }
  if (m_shared.text == Encoding::Utf8) {
    m_detector.Offer(line.number, text);
  } else {
    m_utf8.clear();
    if (m_toUtf8.ConvertPrefix(text, m_utf8) == line.size) {
      m_detector.Offer(line.number, m_utf8);
    } else {
      m_detector.OfferBody(line.number);
    }
  }
  Keep(line);
}

void SurveySlice::Keep(const ShortLineScan::Line& line) {
  if (m_shared.Overflowed()) return;
  if (m_shared.kept.fetch_add(1, std::memory_order_relaxed) >= m_shared.maxKept) {
    m_seen = {};
    m_text = {};
    return;
  }
  // Their text is kept while there is room, so the chapter list need not read them again.
  std::int64_t at = -1;
  std::size_t used = m_shared.keptText.load(std::memory_order_relaxed);
  while (used + line.size <= m_shared.maxKeptText) {
    if (m_shared.keptText.compare_exchange_weak(used, used + line.size,
                                                std::memory_order_relaxed)) {
      at = static_cast<std::int64_t>(m_text.size());
      m_text.append(line.data, line.size);
      break;
    }
  }
  m_seen.push_back({line.number, line.offset, static_cast<std::int64_t>(line.size), at});
}

}  // namespace sekato::engine
