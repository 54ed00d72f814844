#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "progressmeter.h"
#include "splithost.h"

namespace sekato::cli {

/// The command line's side of one split or chapter list: messages on stderr, a progress bar
/// when wanted and stderr is a terminal, and the call's shared run flag (see InterruptFlag)
/// as Stop.
class TerminalHost final : public engine::SplitHost {
 public:
  /// `quiet` keeps the bar, the encoding line and the completion message off (errors are
  /// always shown); `prefix` stands before every message ("novel.txt: " when several sources
  /// share the terminal); `bar` allows the progress bar; `tellEncoding` the encoding line.
  TerminalHost(bool quiet, std::atomic<int>& running, std::string prefix = {}, bool bar = true,
               bool tellEncoding = true);

  /// Draws the bar once the length is known; false once the flag is cleared.
  bool Progress(std::int64_t position, std::int64_t length) override;
  /// One line on stderr, unless quiet: "源文件编码：UTF-8".
  void ReportEncoding(engine::Encoding encoding, bool detected) override;
  /// Always shown on stderr, prefixed with "sekato-cli: 警告：".
  void Warn(const engine::Message& message) override;

  /// Ends the bar and tells how the split ended: a completion on its own line unless quiet,
  /// a stop always, a refusal or failure after "sekato-cli: ".
  void Tell(const engine::SplitEnd& end);
  /// Ends the bar, if one is drawn.
  void EndBar();

 private:
  bool m_bQuiet;
  std::atomic<int>& m_running;
  std::string m_strPrefix;
  bool m_bBar;
  bool m_bTellEncoding;
  bool m_bRanged = false;
  std::unique_ptr<ProgressMeter> m_meter;
};

}  // namespace sekato::cli
