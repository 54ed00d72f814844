#include "splitrun.h"

#include <optional>

#include "chaptersplitter.h"
#include "fileops.h"
#include "gbkcodec.h"
#include "gbktext.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "messages.h"
#include "numberparse.h"
#include "piecewriter.h"
#include "siteaddresses.h"
#include "sizesplitter.h"

namespace sekato::engine {

namespace {

constexpr int kByChapter = 0;
constexpr int kBySize = 1;
constexpr int kEvenly = 2;

std::string PromotionLine() {
  const std::string text = std::string(Messages::kPromotion) + " " + SiteAddresses::kHome;
  return GbkCodec::FromUtf8(text).value_or(SiteAddresses::kHome);
}

// True when `fileName` is "namePart_NNN.txt" for some sequence number, as PiecePath writes it.
bool IsPieceName(const std::string& fileName, const std::string& namePart) {
  const std::string prefix = namePart + "_";
  constexpr std::string_view kSuffix = ".txt";
  if (fileName.size() < prefix.size() + 3 + kSuffix.size()) return false;
  if (fileName.compare(0, prefix.size(), prefix) != 0) return false;
  if (fileName.compare(fileName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
    return false;
  }
  const std::string digits =
      fileName.substr(prefix.size(), fileName.size() - prefix.size() - kSuffix.size());
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  const std::int64_t number = ParseNumber(digits);
  return number >= 1 && PieceWriter::SequenceText(number) == digits;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SplitRun::SplitRun(SplitOptions options, SplitHost& host)
    : m_options(std::move(options)), m_host(host) {}

SplitOutcome SplitRun::Execute() {
  const SplitOptions& o = m_options;
  const auto finish = [this](SplitOutcome outcome, const std::string& text) {
    m_host.ShowMessage(outcome, text);
    if (outcome != SplitOutcome::Stopped) m_host.ClearRunning();
    return outcome;
  };
  const auto refuse = [&finish](std::string_view text) {
    return finish(SplitOutcome::Refused, std::string(text));
  };

  // Options the run cannot work with are refused before anything is created.
  const std::int64_t perFile = ParseNumber(o.m_strChaptersPerFile);
  const std::int64_t titleLimit = ParseNumber(o.m_strTitleMax);
  const std::int64_t maxKb = ParseNumber(o.m_strMaxKB);
  const std::int64_t parts = ParseNumber(o.m_strParts);
  if (o.m_nSplitMode == kEvenly && parts <= 0) return refuse(Messages::kBadParts);
  if (o.m_nSplitMode == kByChapter && perFile <= 0) {
    return refuse(Messages::kBadChaptersPerFile);
  }
  if (o.m_nSplitMode == kBySize && maxKb < 0) return refuse(Messages::kNegativeSize);
  if (o.m_nSplitMode == kByChapter && titleLimit < 0) return refuse(Messages::kNegativeTitle);
  const std::string directory = o.m_nDirMode == 0 ? o.m_strNewDir : o.m_strSrcBase;
  if (directory.empty()) {
    return o.m_nDirMode == 0
               ? refuse(Messages::kNoNewDir)
               : refuse(Messages::Format(Messages::kNoExtension, o.m_strSrcPath));
  }
  int series = m_host.NumeralSeries();
  if (series < 0 || series > 2) series = -1;
  const std::string keywordText = GbkText::NormaliseKeywords(o.m_strKeywords);
  std::vector<std::string> keywords = HeadingMatcher::CutKeywords(keywordText);
  if (o.m_nSplitMode == kByChapter && !keywordText.empty()) {
    if (keywords.size() > HeadingMatcher::kMaxKeywords) {
      return refuse(Messages::kTooManyKeywords);
    }
    if (series < 0 && HeadingMatcher::HasWildcard(keywords)) {
      return refuse(Messages::kNoNumeralSeries);
    }
  }

  std::string reason;
  if (!FileOps::MakeDirectory(directory, reason)) {
    return finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kMakeDirectory, directory, reason));
  }
  if (o.m_nSplitMode == kByChapter && keywordText.empty()) {
    return refuse(Messages::kEmptyKeywords);
  }

  PieceLayout layout;
  layout.directory = directory;
  layout.namePart = o.m_nNameMode == 1 ? o.m_strCustomName : o.m_strSrcTitle;
  layout.addHead = o.m_bAddHead;
  layout.head = o.m_strHead;
  layout.addTail = o.m_bAddTail;
  layout.tail = o.m_strTail;
  layout.addPromotion = !o.m_bNoAd;
  layout.promotion = PromotionLine();

  // The source itself must never become a piece.
  if (FileOps::SameDirectory(DirectoryOf(o.m_strSrcPath), directory) &&
      IsPieceName(FileNameOf(o.m_strSrcPath), layout.namePart)) {
    return refuse(Messages::Format(Messages::kWouldOverwriteSource, o.m_strSrcPath));
  }

  LineReader source;
  if (!source.Open(o.m_strSrcPath, reason)) {
    return finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kOpenSource, o.m_strSrcPath, reason));
  }
  const std::int64_t length = source.Length();

  PieceWriter writer(layout, source.Device(), source.Inode());
  const bool titleNames = o.m_nSplitMode == kByChapter && o.m_nNameMode == 2;
  std::optional<ChapterSplitter> chapters;
  std::optional<SizeSplitter> sizes;
  if (o.m_nSplitMode == kByChapter) {
    chapters.emplace(HeadingMatcher(std::move(keywords), series, titleLimit), perFile,
                     titleNames, writer);
  } else {
    const auto limits = o.m_nSplitMode == kEvenly
                            ? SizeSplitter::ForParts(length, parts, layout)
                            : SizeSplitter::ForSize(maxKb);
    sizes.emplace(limits, o.m_nSplitMode == kBySize && o.m_bKeepLines, writer);
  }

  const auto fail = [&](const std::string& text) {
    source.Close();
    writer.Close(false);
    return finish(SplitOutcome::Failed, text);
  };

  if (!writer.OpenFirst()) return fail(writer.ErrorMessage());
  m_host.SetProgressRange(length);

  char* data = nullptr;
  std::size_t size = 0;
  bool stopped = false;
  while (source.Next(data, size)) {
    if (!m_host.IsRunning()) {
      stopped = true;
      break;
    }
    const std::int64_t position = source.Position();
    if (o.m_bTrimSpaces) {
      GbkText::WidenFullWidthSpaces(data, size);
      size = GbkText::TrimRight(std::string_view(data, size)).size();
      if (size == 0) continue;
    }
    if (writer.Count() > 0) writer.WriteBreak();
    const std::string_view line(data, size);
    const bool handled = chapters ? chapters->HandleLine(line) : sizes->HandleLine(line);
    if (!handled) return fail(writer.ErrorMessage());
    if (writer.WriteFailed()) {
      writer.Close(false);
      return fail(writer.ErrorMessage());
    }
    m_host.SetProgressPos(position);
  }
  if (source.Failed()) {
    return fail(Messages::Format(Messages::kReadSource, o.m_strSrcPath, source.Error()));
  }

  if (stopped) {
    source.Close();
    if (!writer.Close(false)) return finish(SplitOutcome::Failed, writer.ErrorMessage());
    return finish(SplitOutcome::Stopped, std::string(Messages::kStopped));
  }
  if (!writer.Close(true)) return fail(writer.ErrorMessage());
  if (chapters) chapters->RenameLast();
  source.Close();
  return finish(SplitOutcome::Completed, std::string(Messages::kCompleted));
}

SplitOutcome SplitThreadProc(const SplitOptions& options, SplitHost& host) {
  return SplitRun(options, host).Execute();
}

}  // namespace sekato::engine
