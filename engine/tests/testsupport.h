#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "sekato/splithost.h"
#include "sekato/splitoptions.h"
#include "sekato/splitrun.h"

namespace sekato::engine {

/// Messages print as their text in test failures.
inline void PrintTo(const Message& message, std::ostream* out) { *out << message.Text(); }

}  // namespace sekato::engine

namespace sekato::engine::test {

/// GBK bytes of a UTF-8 literal, so tests can be written in readable Chinese.
std::string G(const std::string& utf8);

/// A host that records what the run tells it and can stop the run after a number of lines.
class RecordingHost final : public SplitHost {
 public:
  std::int64_t stopAfterPolls = -1;  ///< ask the run to stop at this poll (-1: never)

  std::vector<std::pair<SplitOutcome, std::string>> messages;  ///< the ends recorded
  std::int64_t range = -1;                                     ///< the last length told
  std::vector<std::int64_t> positions;  ///< every position told that is past the last one
  bool running = true;
  std::int64_t polls = 0;
  std::vector<std::string> warnings;
  std::vector<engine::Message> warned;
  Encoding reported = Encoding::Auto;
  RunTally tally;

  bool Progress(std::int64_t position, std::int64_t length) override {
    if (length >= 0) range = length;
    if (positions.empty() || position > positions.back()) positions.push_back(position);
    if (polls++ == stopAfterPolls) running = false;
    return running;
  }
  void ReportEncoding(Encoding encoding, bool) override { reported = encoding; }
  void Warn(const engine::Message& message) override {
    warnings.push_back(message.Text());
    warned.push_back(message);
  }
  /// Notes how a run ended and returns its outcome.
  SplitOutcome Record(const SplitEnd& end) {
    messages.emplace_back(end.outcome, end.message.Text());
    tally = end.tally;
    return end.outcome;
  }
  /// The one message recorded (empty when none or several).
  std::string Message() const { return messages.size() == 1 ? messages[0].second : ""; }
};

/// While it lives, no file this process writes may grow past `bytes`: a write past it fails
/// with EFBIG (SIGXFSZ is ignored meanwhile), as on a full disk but for one file at a time.
class FileSizeLimit final {
 public:
  explicit FileSizeLimit(std::uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  std::uint64_t m_nOld = 0;
  void (*m_pOldHandler)(int) = nullptr;
};

/// A fresh directory under the system's temporary folder, removed with the object.
class TempDir final {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
/// Names of the files in `dir`, sorted.
std::vector<std::string> ListDir(const std::string& dir);
/// Every file in `dir` by its name, with its bytes; none when `dir` does not exist.
std::map<std::string, std::string> FilesIn(const std::string& dir);

/// Options for splitting `source` into `outDir` (directory mode 0) with no promotional line.
SplitOptions OptionsFor(const std::string& source, const std::string& outDir);

/// Runs one split, records its end in `host` and returns its outcome.
SplitOutcome Split(const SplitOptions& options, RecordingHost& host);
/// Runs `run`, records its end in `host` and returns its outcome.
SplitOutcome Execute(SplitRun& run, RecordingHost& host);

/// The bytes of all pieces in `dir`, in sequence order, joined.
std::string JoinPieces(const std::string& dir);
/// `bytes` without any CR or LF.
std::string WithoutBreaks(const std::string& bytes);

/// Path of the sample novel (GBK, CR LF) in the repository's samples/ folder. Throws, with a
/// sentence naming the file, when it is missing, so the test stops there.
std::string CorpusNovel();

/// A book of 60 lines of every length up to a few KB, the same for the same seed: GBK
/// characters, ASCII, headings 第1章, blank lines, CR LF and LF ends, stray CRs and lead
/// bytes right before a line end.
std::string RandomBook(unsigned seed);

}  // namespace sekato::engine::test
