#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "sekato/splitoptions.h"

namespace sekato::ui {

/// Counts, in the background, how many times each replacement rule matches in a book, with
/// the engine's chapter scan (the pass `sekato-cli --list` counts with), so the rules' editor
/// shows what each rule would do before anything is split.
///
/// One count at a time: starting another, or Cancel, stops the one under way at its next
/// megabyte and waits for its thread. Counted is emitted on the window's thread.
class CRuleCounter final : public QObject {
  Q_OBJECT

 public:
  explicit CRuleCounter(QObject* parent = nullptr);
  ~CRuleCounter() override;

  /// Counts `options.replaceRules` in `options.sourcePath`, read as `options.encoding` says;
  /// the other options play no part.
  void Start(const engine::SplitOptions& options);
  void Cancel();
  bool IsRunning() const { return m_thread.joinable(); }

 signals:
  /// Replacements each rule made, in the rules' order; `ok` is false when the book could not
  /// be read (the counts are then empty).
  void Counted(const std::vector<std::int64_t>& counts, bool ok);

 private:
  void OnEnded(unsigned generation);

  std::thread m_thread;
  std::atomic<bool> m_bStop{false};
  unsigned m_nGeneration = 0;
  std::vector<std::int64_t> m_counts;  // the thread's until it has been joined
  bool m_bOk = false;
};

}  // namespace sekato::ui
