#pragma once

#include <cstdint>
#include <string>

#include "encoding.h"
#include "numerals.h"
#include "runtally.h"

namespace sekato::engine {

/// How a run ended, and the kind of the message it shows at its end.
enum class SplitOutcome {
  Completed,  ///< the whole source was split ("文件分割完成！")
  Stopped,    ///< the run flag was cleared during the run ("文件分割被终止！")
  Refused,    ///< the options cannot be used; nothing was read
  Failed,     ///< reading or writing failed; the pieces written so far are kept
};

/// What a run needs from whoever started it: the window, the command line or a test.
///
/// Every call comes from the thread that runs the split. The order of first use is:
/// NumeralSeries, ShowMessage (refusals only), SetProgressRange, then per source line (and per
/// part of a long line, or per run of plain lines taken at once, at most a part long)
/// IsRunning and SetProgressPos, and at the end ShowMessage and (unless stopped)
/// ClearRunning.
class SplitHost {
 public:
  virtual ~SplitHost() = default;

  /// The selected numeral series for "?" in keywords, read once per run.
  virtual Numerals::Series NumeralSeries() = 0;

  /// Hands over the run's closing message, `utf8Text`, for the user; returns at once (the
  /// window shows it after the run, the command line prints it).
  virtual void ShowMessage(SplitOutcome kind, const std::string& utf8Text) = 0;

  /// The progress range is 0 … `upper` (the source length in bytes).
  virtual void SetProgressRange(std::int64_t upper) = 0;

  /// Called after every kept line (or run of lines) with the source position after it; hosts
  /// throttle drawing.
  virtual void SetProgressPos(std::int64_t position) = 0;

  /// The run flag, polled before every source line, every part of a long line (about
  /// 1 MiB) and every run of lines taken at once (no longer than a part), so a stop takes
  /// effect within a part: false asks the run to stop.
  virtual bool IsRunning() = 0;

  /// The source's encoding, once known (before the progress range): `detected` when it was
  /// found by detection rather than chosen. Hosts that do not show it ignore it.
  virtual void ReportEncoding(Encoding /*encoding*/, bool /*detected*/) {}

  /// Something the user should know that does not stop the run (a byte of the source that
  /// is not valid in its encoding); shown without waiting. Ignored unless a host shows it.
  virtual void Warn(const std::string& /*utf8Text*/) {}
  /// What a completed run wrote; called once, before its completion message.
  virtual void Tally(const RunTally& /*tally*/) {}

  /// Clears the run flag; called when the run ends on its own (completed, refused, failed),
  /// after its message has been handed over.
  virtual void ClearRunning() = 0;
};

}  // namespace sekato::engine
