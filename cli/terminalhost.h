#pragma once

#include <atomic>
#include <memory>

#include "progressmeter.h"
#include "splithost.h"

namespace sekato::cli {

/// The command line's side of a split: messages on stderr, a progress bar when stderr is a
/// terminal, and Ctrl-C as Stop (a second Ctrl-C ends the program at once).
class TerminalHost final : public engine::SplitHost {
 public:
  /// `series` is the chosen numeral series (-1 none); `quiet` keeps the bar and the
  /// completion message off (errors are always shown).
  TerminalHost(int series, bool quiet);
  ~TerminalHost() override;
  TerminalHost(const TerminalHost&) = delete;
  TerminalHost& operator=(const TerminalHost&) = delete;

  int NumeralSeries() override { return m_nSeries; }
  void ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) override;
  void SetProgressRange(std::int64_t upper) override;
  void SetProgressPos(std::int64_t position) override {
    if (m_meter) m_meter->Update(position);
  }
  /// One line on stderr, unless quiet: "源文件编码：UTF-8".
  void ReportEncoding(engine::Encoding encoding, bool detected) override;
  /// Always shown on stderr, prefixed with "sekato-cli: 警告：".
  void Warn(const std::string& utf8Text) override;
  bool IsRunning() override { return m_bRunning.load(std::memory_order_relaxed) != 0; }
  void ClearRunning() override { m_bRunning.store(0); }

 private:
  int m_nSeries;
  bool m_bQuiet;
  std::unique_ptr<ProgressMeter> m_meter;
  std::atomic<int> m_bRunning{1};
};

}  // namespace sekato::cli
