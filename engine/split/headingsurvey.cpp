#include "headingsurvey.h"

#include <algorithm>

#include "candidatesieve.h"
#include "headingdetector.h"
#include "shortlinescan.h"
#include "linewalk.h"
#include "runencodings.h"
#include "sourcedecoder.h"
#include "textconverter.h"

namespace sekato::engine {
namespace {

constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

}  // namespace

bool HeadingSurvey::Sift(const std::string& path, std::size_t markBytes, std::size_t lineLimit,
                         const ShortLineScan::LineSink& take, const LineWalk::KeepGoing& keepGoing,
                         bool& longAtEnd, Result& result) {
  ShortLineScan sieve(lineLimit);
  std::string reason;
  if (!sieve.Open(path, static_cast<std::int64_t>(markBytes), reason)) {
    result.end = End::Failed;
    result.message = {MessageId::OpenSource, {path, reason}};
    return false;
  }
  result.sourceBytes = sieve.Length();
  const ShortLineScan::End end = sieve.Run(take, keepGoing);
  result.lines = sieve.Lines();
  longAtEnd = sieve.LongAtEnd();
  switch (end) {
    case ShortLineScan::End::Done:
      return true;
    case ShortLineScan::End::Stopped:
      result.end = End::Stopped;
      return false;
    case ShortLineScan::End::Failed:
      break;
  }
  result.end = End::Failed;
  result.message = {MessageId::ReadSource, {path, sieve.Error()}};
  return false;
}

HeadingSurvey::Result HeadingSurvey::Run(const SplitOptions& options, SplitHost* host) {
  Result result;
  // The source is read in its own encoding, as the chapter list reads it.
  SplitOptions asSource = options;
  asSource.outEncoding = Encoding::Auto;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(asSource, result.message, refused);
  if (!encodings) {
    result.end = refused ? End::Refused : End::Failed;
    return result;
  }
  if (host) host->ReportEncoding(encodings->Source(), encodings->Detected());
  result.sourceEncoding = encodings->Source();
  const Encoding text = encodings->Text();
  SourceDecoder decoder(encodings->Source(), text, encodings->MarkBytes(), encodings->Output());
  HeadingDetector detector(options.titleMax);
  const CandidateSieve sieve(text, std::max(options.titleMax, HeadingDetector::kMinTitleChars));
  TextConverter toUtf8(text, Encoding::Utf8);
  std::string utf8;
  std::int64_t& lines = result.lines;
  std::int64_t& sourceBytes = result.sourceBytes;
  std::int64_t last = 0;  // the line taken last
  bool longAtEnd = false;  // a line too long to take came after the last one taken
  // Takes the next line; true when it may start a heading form.
  // `bodyBefore`: a line passed over since the last one was too long to take: body text.
  const auto look = [&](char* data, std::size_t size, bool bodyBefore) {
    if (bodyBefore) detector.OfferBody(lines - 1);
    const std::string_view line(data, size);
    switch (sieve.Look(line)) {
      case CandidateSieve::Verdict::Blank:
        return false;
      case CandidateSieve::Verdict::Body:
        detector.OfferBody(lines);
        return false;
      case CandidateSieve::Verdict::Candidate:
        break;
    }
    if (text == Encoding::Utf8) {
      detector.Offer(lines, line);
      return true;
    }
    utf8.clear();
    if (toUtf8.ConvertPrefix(line, utf8) == size) {
      detector.Offer(lines, utf8);
    } else {
      detector.OfferBody(lines);
    }
    return true;
  };
  const auto take = [&](char* data, std::size_t size, std::int64_t /*offset*/) {
    look(data, size, lines > last + 1);
    last = lines;
  };
  std::int64_t nextReport = kProgressStep;
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !host || host->Progress(offset, sourceBytes);
  };
  if (!decoder.Converts()) {
    // The bytes are the text: read in blocks, every line short enough to be a heading handed
    // out where it lies, and the candidates' places kept for the chapter list.
    result.allSeen = true;
    const auto keep = [&](const ShortLineScan::Line& line) {
      // An empty line is neither body text nor a heading: nothing to look at, unless a long
      // line came before it.
      if (line.size == 0 && !line.longBefore) return true;
      lines = line.number;
      char* const data = line.data;
      const std::size_t size = line.size;
      if (!look(data, size, line.longBefore) || !result.allSeen) return true;
      if (result.seen.size() >= kMaxKept) {
        result.allSeen = false;
        result.seen = {};
        return true;
      }
      // Their text is kept while there is room, so the list need not read them again.
      std::int64_t at = -1;
      if (result.seenText.size() + size <= kMaxKeptText) {
        at = static_cast<std::int64_t>(result.seenText.size());
        result.seenText.append(data, size);
      }
      result.seen.push_back({lines, line.offset, static_cast<std::int64_t>(size), at});
      return true;
    };
    if (!Sift(options.sourcePath, encodings->MarkBytes(),
              static_cast<std::size_t>(detector.LongestCandidateBytes()), keep, keepGoing,
              longAtEnd, result)) {
      return result;
    }
  } else {
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
    longAtEnd = lines > last;
  }
  if (longAtEnd) detector.OfferBody(lines);
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
