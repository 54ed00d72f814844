#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "splithost.h"
#include "splitoptions.h"

namespace sekato::engine::test {

/// GBK bytes of a UTF-8 literal, so tests can be written in readable Chinese.
std::string G(const std::string& utf8);

/// A host that records what the run tells it and can stop the run after a number of lines.
class RecordingHost final : public SplitHost {
 public:
  Numerals::Series series = Numerals::Series::None;
  std::int64_t stopAfterPolls = -1;  ///< clear the flag at this poll (-1: never)

  std::vector<std::pair<SplitOutcome, std::string>> messages;
  std::int64_t range = -1;
  std::vector<std::int64_t> positions;
  bool running = true;
  int clears = 0;
  std::int64_t polls = 0;

  Numerals::Series NumeralSeries() override { return series; }
  void ShowMessage(SplitOutcome kind, const std::string& text) override {
    messages.emplace_back(kind, text);
  }
  void SetProgressRange(std::int64_t upper) override { range = upper; }
  void SetProgressPos(std::int64_t position) override { positions.push_back(position); }
  bool IsRunning() override {
    if (polls++ == stopAfterPolls) running = false;
    return running;
  }
  std::vector<std::string> warnings;
  Encoding reported = Encoding::Auto;
  void ReportEncoding(Encoding encoding, bool) override { reported = encoding; }
  void Warn(const std::string& text) override { warnings.push_back(text); }
  void ClearRunning() override {
    running = false;
    ++clears;
  }
  /// The one message shown (empty when none or several).
  std::string Message() const { return messages.size() == 1 ? messages[0].second : ""; }
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

/// Options for splitting `source` into `outDir` (directory mode 0) with no promotional line.
SplitOptions OptionsFor(const std::string& source, const std::string& outDir);

/// Runs one split and returns its outcome.
SplitOutcome Split(const SplitOptions& options, RecordingHost& host);

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
