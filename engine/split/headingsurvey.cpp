#include "headingsurvey.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "candidatesieve.h"
#include "headingdetector.h"
#include "linewalk.h"
#include "runencodings.h"
#include "sourcedecoder.h"
#include "surveyslice.h"
#include "tabletranscoder.h"
#include "textconverter.h"

namespace sekato::engine {
namespace {

constexpr std::int64_t kProgressStep = SurveySlice::kProgressStep;

/// Where the slices of [start, length) start after the first: none for a small source or a
/// single processor, else one slice for each thread, all of a size.
std::vector<std::int64_t> EvenCuts(std::int64_t start, std::int64_t length) {
  const std::int64_t bytes = length - start;
  const auto slices = static_cast<std::int64_t>(SurveySlice::Threads());
  if (bytes < HeadingSurvey::kOnePassBytes || slices < 2) return {};
  std::vector<std::int64_t> cuts;
  for (std::int64_t i = 1; i < slices; ++i) cuts.push_back(start + bytes / slices * i);
  return cuts;
}

}  // namespace

bool HeadingSurvey::Sift(const SplitOptions& options, Encoding text, std::int64_t markBytes,
                         const std::vector<std::int64_t>* cuts, bool keepText, SplitHost* host,
                         HeadingDetector& detector, Result& result) {
  const std::string& path = options.sourcePath;
  SurveySlice::Shared shared(text, options.titleMax);
  shared.maxKept = kMaxKept;
  shared.maxKeptText = keepText ? kMaxKeptText : 0;
  std::vector<std::unique_ptr<SurveySlice>> slices;
  std::string reason;
  const auto open = [&] {
    slices.push_back(std::make_unique<SurveySlice>(shared));
    if (slices.back()->Open(path, markBytes, reason)) return true;
    result.end = End::Failed;
    result.message = {MessageId::OpenSource, {path, reason}};
    return false;
  };
  if (!open()) return false;
  const std::int64_t length = slices.front()->Length();
  result.sourceBytes = length;
  std::vector<std::int64_t> starts{markBytes};
  for (const std::int64_t cut : cuts ? *cuts : EvenCuts(markBytes, length)) {
    if (cut > starts.back() && cut < length) starts.push_back(cut);
  }
  while (slices.size() < starts.size()) {
    if (!open()) return false;
  }
  for (std::size_t i = 0; i < slices.size(); ++i) {
    slices[i]->Cover(starts[i], i + 1 < starts.size() ? starts[i + 1] : length);
  }

  const std::size_t count = slices.size();
  const std::vector<ShortLineScan::End> ends = SurveySlice::RunAll(slices, markBytes, host);
  for (std::size_t i = 0; i < count; ++i) {
    if (ends[i] != ShortLineScan::End::Failed) continue;
    result.end = End::Failed;
    result.message = {MessageId::ReadSource, {path, slices[i]->Error()}};
    return false;
  }
  if (std::find(ends.begin(), ends.end(), ShortLineScan::End::Stopped) != ends.end()) {
    result.end = End::Stopped;
    return false;
  }

  // The slices joined in order, as one pass would have seen them, each let go once joined.
  result.allSeen = !shared.Overflowed();
  result.crlfOnly = std::none_of(slices.begin(), slices.end(),
                                 [](const auto& slice) { return slice->BareFeeds(); });
  if (result.allSeen) {
    std::size_t places = 0;
    std::size_t bytes = 0;
    for (const auto& slice : slices) {
      places += slice->Places().size();
      bytes += slice->Text().size();
    }
    result.seen.reserve(places);
    result.seenText.reserve(bytes);
  }
  std::int64_t lines = 0;
  for (auto& slice : slices) {
    detector.Append(slice->Detector(), lines);
    if (result.allSeen) {
      const auto base = static_cast<std::int64_t>(result.seenText.size());
      for (const SurveySlice::Seen& at : slice->Places()) {
        result.seen.push_back(
            {at.line + lines, at.offset, at.size, at.text < 0 ? -1 : at.text + base});
      }
      result.seenText += slice->Text();
    }
    lines += slice->Lines();
    slice.reset();
  }
  result.lines = lines;
  return true;
}

HeadingSurvey::Result HeadingSurvey::Run(const SplitOptions& options, SplitHost* host,
                                         bool keepText) {
  return Survey(options, host, nullptr, keepText);
}

HeadingSurvey::Result HeadingSurvey::RunCut(const SplitOptions& options, SplitHost* host,
                                            const std::vector<std::int64_t>& cuts) {
  return Survey(options, host, &cuts, true);
}

HeadingSurvey::Result HeadingSurvey::Survey(const SplitOptions& options, SplitHost* host,
                                            const std::vector<std::int64_t>* cuts, bool keepText) {
  Result result;
  // The tables between UTF-8 and GB18030 (iconv's answer for every character, a few
  // milliseconds) serve the sieve, the headings' numbers and the list's titles whatever the
  // book's encoding: they are built on another processor while this one guesses it.
  std::jthread tables([] {
    TableTranscoder::FromUtf8(Encoding::Gb18030);
    TableTranscoder::ToUtf8(Encoding::Gb18030);
  });
  // The source is read in its own encoding, as the chapter list reads it.
  SplitOptions asSource = options;
  asSource.outEncoding = Encoding::Auto;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(asSource, result.message, refused);
  // Done with before the slices' threads start: they take over its memory.
  tables.join();
  if (!encodings) {
    result.end = refused ? End::Refused : End::Failed;
    return result;
  }
  if (host) host->ReportEncoding(encodings->Source(), encodings->Detected());
  result.sourceEncoding = encodings->Source();
  const Encoding text = encodings->Text();
  SourceDecoder decoder(encodings->Source(), text, encodings->MarkBytes(), encodings->Output());
  HeadingDetector detector(options.titleMax);
  if (!decoder.Converts()) {
    // The bytes are the text: read in blocks, every line short enough to be a heading handed
    // out where it lies, and the candidates' places kept for the chapter list.
    if (!Sift(options, text, static_cast<std::int64_t>(encodings->MarkBytes()), cuts, keepText,
              host, detector, result)) {
      return result;
    }
    if (host) host->Progress(result.sourceBytes, result.sourceBytes);
    result.detection = detector.Decide();
    return result;
  }
  const CandidateSieve sieve(text, std::max(options.titleMax, HeadingDetector::kMinTitleChars));
  TextConverter toUtf8(text, Encoding::Utf8);
  std::string utf8;
  std::int64_t& lines = result.lines;
  std::int64_t& sourceBytes = result.sourceBytes;
  std::int64_t last = 0;  // the line taken last
  // Takes the next line. A line passed over since the last one was too long to take: body
  // text.
  const auto take = [&](char* data, std::size_t size, std::int64_t /*offset*/) {
    if (lines > last + 1) detector.OfferBody(lines - 1);
    last = lines;
    const std::string_view line(data, size);
    switch (sieve.Look(line)) {
      case CandidateSieve::Verdict::Blank:
        return;
      case CandidateSieve::Verdict::Body:
        detector.OfferBody(lines);
        return;
      case CandidateSieve::Verdict::Candidate:
        break;
    }
    if (text == Encoding::Utf8) {
      detector.Offer(lines, line);
      return;
    }
    utf8.clear();
    if (toUtf8.ConvertPrefix(line, utf8) == size) {
      detector.Offer(lines, utf8);
    } else {
      detector.OfferBody(lines);
    }
  };
  std::int64_t nextReport = kProgressStep;
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !host || host->Progress(offset, sourceBytes);
  };
  switch (LineWalk::Run(options.sourcePath, encodings->MarkBytes(), decoder, encodings->Rules(),
                        lines, sourceBytes, take, keepGoing, result.message)) {
    case LineWalk::End::Done:
      break;
    case LineWalk::End::Stopped:
      result.end = End::Stopped;
      return result;
    case LineWalk::End::Failed:
      result.end = End::Failed;
      return result;
  }
  // Lines after the last one taken were too long to take.
  if (lines > last) detector.OfferBody(lines);
  if (host) host->Progress(sourceBytes, sourceBytes);
  result.detection = detector.Decide();
  return result;
}

void HeadingSurvey::Apply(const HeadingDetection& found, SplitOptions& options) {
  options.regex = found.chapters.pattern;
  options.exclude.clear();
  options.volumeRegex = found.volumes.pattern;
  options.headingsFrom = found.contentsLast > 0 ? found.contentsLast + 1 : 0;
  options.titleMax = std::max(options.titleMax, found.longestTitle);
  options.firstNumber = found.firstNumber;
}

}  // namespace sekato::engine
