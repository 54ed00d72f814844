#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "asciitext.h"
#include "bytesource.h"
#include "chapterlisting.h"
#include "chaptersplitter.h"
#include "headingforms.h"
#include "headingmatcher.h"
#include "headingsurvey.h"
#include "linesieve.h"
#include "linetransform.h"
#include "linewalk.h"
#include "numberingcheck.h"
#include "progressshare.h"
#include "runencodings.h"
#include "seenlookahead.h"
#include "sekato/message.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"
#include "sourcefingerprint.h"
#include "splitplan.h"
#include "surveyslice.h"
#include "textcodec.h"
#include "transformedtext.h"

// How the chapter list reads its source: every line, the lines holding a needle, or only the
// lines a heading survey kept.
namespace sekato::engine {

namespace {

constexpr std::size_t kPartLimit = LineWalk::kPartLimit;
constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

// in place. Sifting, it answers whether only the first needle is needed from now on.
using LineTaker = std::function<void(char*, std::size_t, std::int64_t)>;
using SiftedLineTaker = std::function<bool(char*, std::size_t, std::int64_t)>;
// Told the source offset come to; false stops the pass.
using KeepGoing = std::function<bool(std::int64_t)>;
enum class Reading { Done, Stopped, Failed };

// The byte strings, in `text`, one of which every line that matters holds: the longest piece
// of keyword between "?"s (every heading and near miss holds each piece), then, for the
// heading forms told while nothing is found, 第 and Chapter as HeadingForms spells it.
// Empty when no piece is two bytes long: the lines are then read one by one.
std::vector<std::string> Needles(const std::vector<std::string>& keywords, Encoding text) {
  std::string longest;
  for (const std::string& keyword : keywords) {
    for (std::size_t start = 0; start <= keyword.size();) {
      const std::size_t mark = std::min(keyword.find('?', start), keyword.size());
      if (mark - start > longest.size()) longest = keyword.substr(start, mark - start);
      start = mark + 1;
    }
  }
  if (longest.size() < 2 || longest.find('\n') != std::string::npos) return {};
  std::vector<std::string> needles = {longest};
  std::vector<std::string> forms = {"Chapter", "CHAPTER"};
  if (auto di = TextCodec::Convert("\xE7\xAC\xAC", Encoding::Utf8, text)) {  // 第
    forms.insert(forms.begin(), std::move(*di));
  }
  for (std::string& form : forms) {
    if (form != longest) needles.push_back(std::move(form));
  }
  return needles;
}

// Every line of the source, read one by one as the split reads it (see LineWalk).
Reading ReadLines(const std::string& path, std::size_t markBytes, SourceDecoder& decoder,
                  const TextRules& rules, ScanResult& r, const LineTaker& take,
                  const KeepGoing& keepGoing, Message& failure) {
  switch (LineWalk::Run(path, markBytes, decoder, rules, r.lines, r.sourceBytes, take, keepGoing,
                        failure)) {
    case LineWalk::End::Done:
      return Reading::Done;
    case LineWalk::End::Stopped:
      return Reading::Stopped;
    case LineWalk::End::Failed:
      break;
  }
  return Reading::Failed;
}

// The lines of a source read as it lies in the file that hold one of `needles`, with their
// numbers; r.lines ends as the count of all lines.
Reading SiftLines(const std::string& path, std::size_t markBytes, std::vector<std::string> needles,
                  std::size_t lineLimit, ScanResult& r, const SiftedLineTaker& take,
                  const KeepGoing& keepGoing, Message& failure) {
  LineSieve sieve(std::move(needles), kPartLimit);
  sieve.SetLineLimit(lineLimit);
  std::string reason;
  if (!sieve.Open(path, static_cast<std::int64_t>(markBytes), reason)) {
    failure = {MessageId::OpenSource, {path, reason}};
    return Reading::Failed;
  }
  r.sourceBytes = sieve.Length();
  bool narrowed = false;
  const LineSieve::End end = sieve.Run(
      [&](const LineSieve::Line& line) {
        r.lines = line.number;
        if (take(line.data, line.size, line.offset) && !narrowed) {
          sieve.Narrow(1);
          narrowed = true;
        }
        return true;
      },
      keepGoing);
  r.lines = sieve.Lines();
  if (end == LineSieve::End::Failed) {
    failure = {MessageId::ReadSource, {path, sieve.Error()}};
    return Reading::Failed;
  }
  return end == LineSieve::End::Done ? Reading::Done : Reading::Stopped;
}

}  // namespace

bool ChapterListing::OpenSource(ByteSource& file) {
  std::string reason;
  if (!file.Open(m_options.sourcePath, reason)) {
    End(ScanResult::Status::Failed, {MessageId::OpenSource, {m_options.sourcePath, reason}});
    return false;
  }
  m_r.sourceBytes = file.Length();
  return true;
}

bool ChapterListing::Read(SplitHost* host) {
  const SplitOptions& o = m_options;
  std::int64_t nextReport = kProgressStep;
  // False when the pass is to stop, having come to source byte `offset`.
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !host || host->Progress(offset, m_r.sourceBytes);
  };
  // Text read as it lies in the file is sifted: only the lines that hold a keyword or a
  // heading form are looked at. A converted source is read line by line.
  std::vector<std::string> needles;
  if (!m_decoder->Converts()) needles = Needles(m_textKeywords, m_text);
  // A longer line is neither heading, near miss nor heading form: the sieve passes over
  // it. The limits measure characters as GBK does, which in GBK is the bytes; in another
  // encoding a character may take up to twice the bytes it measures. Trimming may shorten
  // a line, so then every line is looked at.
  auto lineLimit = static_cast<std::size_t>(-1);
  const std::int64_t longest =
      std::max(m_matchMax, static_cast<std::int64_t>(HeadingForms::kMaxLineBytes));
  if (!o.trimSpaces && longest <= static_cast<std::int64_t>(kPartLimit / 2)) {
    lineLimit = static_cast<std::size_t>(longest) * (m_text == Encoding::Gbk ? 1 : 2);
  }
  const auto take = [this](char* data, std::size_t size, std::int64_t lineOffset) {
    TakeLine(data, size, lineOffset);
  };
  Message failure;
  const std::size_t markBytes = m_encodings->MarkBytes();
  const Reading reading =
      needles.empty()
          ? ReadLines(o.sourcePath, markBytes, *m_decoder, *m_rules, m_r, take, keepGoing, failure)
          : SiftLines(
                o.sourcePath, markBytes, std::move(needles), lineLimit, m_r,
                [&](char* data, std::size_t size, std::int64_t lineOffset) {
                  take(data, size, lineOffset);
                  return m_count > 0;  // then the forms are needed no more
                },
                keepGoing, failure);
  if (reading == Reading::Done) {
    if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
    return true;
  }
  End(reading == Reading::Stopped ? ScanResult::Status::Stopped : ScanResult::Status::Failed,
      std::move(failure));
  return false;
}

bool ChapterListing::ReadSeenByRule(const HeadingSurvey::Result& survey, unsigned threads,
                                    SplitHost* host) {
  if (!m_byRule) return ReadSeen(survey, host);
  if (ByteSource file; !OpenSource(file)) return false;
  SeenLookahead::Setup setup;
  setup.heading = m_plan.Patterns();
  setup.volumes = m_plan.VolumePatterns();
  setup.titleMax = m_options.titleMax;
  setup.rules = m_rules;
  setup.matchRules = m_matchRules;
  setup.text = m_text;
  setup.converts = m_converts;
  setup.trimSpaces = m_options.trimSpaces;
  setup.headingsFrom = m_options.headingsFrom;
  setup.sourcePath = m_options.sourcePath;
  const SeenLookahead lookahead(std::move(setup));
  const bool read = lookahead.Run(survey, threads, [&](SeenLookahead::Entry& entry) {
    if (!entry.failure.empty()) {
      End(ScanResult::Status::Failed,
          {MessageId::ReadSource, {m_options.sourcePath, entry.failure}});
      return false;
    }
    if (entry.skipped) return true;
    m_r.lines = entry.line;
    // As TakeLine has it, the line matched already.
    if (m_volumes && m_volumes->Take(entry.volume)) {
      std::string_view line = entry.text;
      if (m_folders && m_converts) {
        if (!HeadingMatcher::ToMatchText(line, m_text, m_converted)) m_converted.clear();
        line = m_converted;
      }
      TakeVolume(line, entry.offset);
      return true;
    }
    if (!m_matcher->Take(entry.heading) || !entry.listable) return true;
    TakeHeading(m_converts ? std::string_view(entry.listed) : entry.text, entry.offset,
                &entry.title);
    return true;
  });
  if (!read) return false;
  m_r.lines = survey.lines;
  if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
  return true;
}

bool ChapterListing::ReadSeen(const HeadingSurvey::Result& survey, SplitHost* host) {
  ByteSource file;
  if (!OpenSource(file)) return false;
  std::string line;
  for (const HeadingSurvey::Result::Seen& at : survey.seen) {
    const auto size = static_cast<std::size_t>(at.size);
    int error = 0;
    if (at.text >= 0) {
      line.assign(survey.seenText, static_cast<std::size_t>(at.text), size);
    } else if (line.resize(size); file.ReadFullyAt(line.data(), size, at.offset, error) != size) {
      End(ScanResult::Status::Failed,
          {MessageId::ReadSource,
           {m_options.sourcePath, error != 0 ? std::strerror(error) : "the file got shorter"}});
      return false;
    }
    m_r.lines = at.line;
    TakeLine(line.data(), line.size(), at.offset);
  }
  m_r.lines = survey.lines;
  if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
  return true;
}

}  // namespace sekato::engine
