#include "sourcerun.h"

#include <chrono>
#include <new>
#include <optional>
#include <utility>

#include "cliapp.h"
#include "listprinter.h"
#include "sekato/chapterscan.h"
#include "sekato/message.h"
#include "sekato/olderpieces.h"
#include "sekato/sourceclassifier.h"
#include "sekato/splitrun.h"
#include "splitreport.h"
#include "terminalhost.h"

namespace sekato::cli {

SourceRun::SourceRun(engine::SplitOptions options, std::string prefix, bool quiet, bool bar,
                     std::atomic<int>& running)
    : m_options(std::move(options)),
      m_strPrefix(std::move(prefix)),
      m_bQuiet(quiet),
      m_bBar(bar),
      m_running(running) {}

int SourceRun::Split(bool clean) {
  const std::string& source = m_options.sourcePath;
  const char* prefix = m_strPrefix.c_str();
  // An empty source still makes its folder, as it always has; the user hears why it holds
  // nothing.
  if (engine::SourceClassifier::OfFile(source) == engine::SourceClassifier::Kind::Empty) {
    const std::string text = engine::Message(engine::MessageId::EmptySource, {source}).Text();
    std::fprintf(stderr, "sekato-cli: %s%s\n", prefix, text.c_str());
  }
  if (clean && !SplitReport::RemoveOlderPieces(m_options, m_strPrefix)) {
    return CliApp::kExitFailed;
  }
  // Looked for before the split: afterwards its own title-named pieces would look older.
  const std::vector<std::string> older = engine::OlderPieces::Find(m_options, 0);
  TerminalHost host(m_bQuiet, m_running, m_strPrefix, m_bBar);
  const auto start = std::chrono::steady_clock::now();
  // Nothing after the split reads the list, which may be megabytes of titles: it moves.
  std::optional<engine::ChapterList> toc = std::exchange(m_options.toc, std::nullopt);
  engine::SplitOptions options = m_options;
  options.toc = std::move(toc);
  const engine::SplitEnd end = engine::SplitRun(std::move(options), host).Execute();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  host.Tell(end);
  switch (end.outcome) {
    case engine::SplitOutcome::Completed:
      break;
    case engine::SplitOutcome::Stopped:
      return CliApp::kExitStopped;
    case engine::SplitOutcome::Refused:
      return CliApp::kExitRefused;
    case engine::SplitOutcome::Failed:
      return CliApp::kExitFailed;
  }
  TellAfterSplit(end, older, seconds);
  return CliApp::kExitDone;
}

void SourceRun::TellAfterSplit(const engine::SplitEnd& end, const std::vector<std::string>& older,
                               double seconds) const {
  SplitReport::WarnOfOlderPieces(m_options, engine::OlderPieces::Kept(older, m_options, end.tally),
                                 m_strPrefix);
  if (m_options.volumeFolders && end.tally.folders.empty()) {
    std::fprintf(stderr, "sekato-cli: %s没有找到卷标题，文件没有分卷存放，都直接写在 %s 里。\n",
                 m_strPrefix.c_str(), end.tally.directory.c_str());
  }
  if (m_bQuiet) return;
  // The pieces are all written by now: a summary that runs out of memory is left out rather
  // than turning a finished split into a reported failure.
  try {
    SplitReport::PrintSummary(m_options.sourcePath, m_options, end.tally, m_strPrefix, seconds);
  } catch (const std::bad_alloc&) {
  }
}

int SourceRun::List(bool json, std::FILE* out) const {
  const std::string& source = m_options.sourcePath;
  const char* prefix = m_strPrefix.c_str();
  // The list says nothing of the encoding on stderr: JSON and the table carry it.
  TerminalHost host(m_bQuiet, m_running, m_strPrefix, m_bBar, false);
  const auto result = engine::ChapterScan::Run(m_options, &host);
  host.EndBar();
  // A refused or failed inspection found nothing to list: only JSON says so on stdout.
  if (json) {
    // What --toc needs to know the list is for this book: its hash beside its size.
    const std::string hash = result.status == engine::ScanResult::Status::Done
                                 ? engine::ChapterScan::SourceHash(source)
                                 : std::string();
    ListPrinter::Json(result, source, out, {hash, m_options});
  } else if (result.status == engine::ScanResult::Status::Done) {
    ListPrinter::Table(result, out);
    ListPrinter::RuleCounts(result, m_options, out);
  }
  switch (result.status) {
    case engine::ScanResult::Status::Done:
      return CliApp::kExitDone;
    case engine::ScanResult::Status::Stopped:
      std::fprintf(stderr, "%s检查被终止！\n", prefix);
      return CliApp::kExitStopped;
    case engine::ScanResult::Status::Refused:
      std::fprintf(stderr, "sekato-cli: %s%s\n", prefix, result.error.Text().c_str());
      return CliApp::kExitRefused;
    case engine::ScanResult::Status::Failed:
      break;
  }
  std::fprintf(stderr, "sekato-cli: %s%s\n", prefix, result.error.Text().c_str());
  return CliApp::kExitFailed;
}

}  // namespace sekato::cli
