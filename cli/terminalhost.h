#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "progressmeter.h"
#include "splithost.h"

namespace sekato::cli {

/// The command line's side of one split: messages on stderr, a progress bar when wanted and
/// stderr is a terminal, and the call's shared run flag (see InterruptFlag) as Stop.
class TerminalHost final : public engine::SplitHost {
 public:
  /// `series` is the chosen numeral series; `quiet` keeps the bar and the
  /// completion message off (errors are always shown); `prefix` stands before every message
  /// ("novel.txt: " when several sources share the terminal); `bar` allows the progress bar.
  TerminalHost(engine::Numerals::Series series, bool quiet, std::atomic<int>& running,
               std::string prefix = {}, bool bar = true);

  engine::Numerals::Series NumeralSeries() override { return m_series; }
  void ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) override;
  void SetProgressRange(std::int64_t upper) override;
  void SetProgressPos(std::int64_t position) override {
    if (m_meter) m_meter->Update(position);
  }
  /// One line on stderr, unless quiet: "源文件编码：UTF-8".
  void ReportEncoding(engine::Encoding encoding, bool detected) override;
  /// Always shown on stderr, prefixed with "sekato-cli: 警告：".
  void Warn(const std::string& utf8Text) override;
  bool IsRunning() override { return m_running.load(std::memory_order_relaxed) != 0; }
  // The flag is the whole call's: one source ending must not stop the others.
  void ClearRunning() override {}
  void Tally(const engine::RunTally& tally) override { m_tally = tally; }

  /// What the completed run wrote (pieces 0 when it did not complete).
  const engine::RunTally& Written() const { return m_tally; }

 private:
  engine::Numerals::Series m_series;
  bool m_bQuiet;
  std::atomic<int>& m_running;
  std::string m_strPrefix;
  bool m_bBar;
  std::unique_ptr<ProgressMeter> m_meter;
  engine::RunTally m_tally;
};

}  // namespace sekato::cli
