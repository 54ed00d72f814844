#pragma once

#include <QObject>
#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "sekato/scanresult.h"
#include "sekato/splitoptions.h"

namespace sekato::ui {

/// The one look the window takes at a newly chosen source, in the background: what automatic
/// detection finds there, and what the form's own heading rule (keywords or a regular
/// expression) finds. The detected-rule line, the check before a split and the preview all
/// read it, so a book is read once for them, not once each.
///
/// One look at a time: starting another, or Cancel, stops the one under way at its next
/// megabyte and waits for its thread. Finished is emitted on the window's thread.
class CSourceLook final : public QObject {
  Q_OBJECT

 public:
  /// What a finished look found.
  struct Findings {
    std::string source;  ///< the source looked at (file-system name)
    /// ChapterScan with detection on: `detected` is set and `detection` says what was found.
    engine::ScanResult detection;
    /// ChapterScan by the form's rule; unset when the form let detection choose.
    std::optional<engine::ScanResult> byRule;
    engine::SplitOptions ruleOptions;  ///< the options `byRule` was made with
  };

  explicit CSourceLook(QObject* parent = nullptr);
  ~CSourceLook() override;

  /// Looks at `options.sourcePath`: detection, and unless `options.autoDetect`, the form's
  /// rule as `options` give it. Cancels the look under way and forgets what an earlier one
  /// found, except a detection of the same source, which the new look reuses.
  void Start(const engine::SplitOptions& options);
  /// Stops the look under way, if any, and forgets what it would have found.
  void Cancel();
  /// Waits for the look under way to finish (the window is busy meanwhile); Finished has been
  /// emitted when it returns. Does nothing when no look is under way.
  void Wait();
  bool IsRunning() const { return m_thread.joinable(); }

  /// What the last finished look found; null before one has finished, or after Cancel.
  const Findings* Found() const { return m_found ? &*m_found : nullptr; }

  /// Whether the findings answer for a chapter split with `options`: the same source and the
  /// same replacement rules and conversion (headings are found in the text they make), and
  /// for a rule of the form's, the same rule, title size, numerals and encoding. Example:
  /// after the keywords "第  章" are changed to "第 回", the look by the rule is stale.
  static bool Answers(const Findings& found, const engine::SplitOptions& options);

 signals:
  void Finished();

 private:
  /// On the window's thread once the look's thread has done its work: joins it and keeps
  /// what it found, unless `generation` was cancelled since.
  void OnEnded(unsigned generation);

  std::thread m_thread;
  std::atomic<bool> m_bStop{false};
  unsigned m_nGeneration = 0;
  Findings m_pending;  // the look's own until its thread has been joined
  std::optional<Findings> m_found;
};

}  // namespace sekato::ui
