#include "csourcelook.h"

#include <QApplication>
#include <QMetaObject>
#include <exception>

#include "quiethost.h"
#include "sekato/chapterscan.h"

namespace sekato::ui {

namespace {

engine::ScanResult Scan(const engine::SplitOptions& options, engine::SplitHost& host) {
  try {
    return engine::ChapterScan::Run(options, &host);
  } catch (const std::exception&) {
    engine::ScanResult failed;  // a look that cannot finish tells nothing; a split will say why
    failed.status = engine::ScanResult::Status::Failed;
    return failed;
  }
}

// Whether both make the same text of the book: the same rules and conversion.
bool SameText(const engine::SplitOptions& a, const engine::SplitOptions& b) {
  if (a.convert != b.convert || a.replaceRules.size() != b.replaceRules.size()) return false;
  for (std::size_t i = 0; i < a.replaceRules.size(); ++i) {
    if (a.replaceRules[i].pattern != b.replaceRules[i].pattern ||
        a.replaceRules[i].replacement != b.replaceRules[i].replacement) {
      return false;
    }
  }
  return true;
}

}  // namespace

CSourceLook::CSourceLook(QObject* parent) : QObject(parent) {}

CSourceLook::~CSourceLook() { Cancel(); }

bool CSourceLook::Answers(const Findings& found, const engine::SplitOptions& options) {
  if (found.source != options.sourcePath || !SameText(found.ruleOptions, options)) return false;
  if (found.detection.status != engine::ScanResult::Status::Done) return false;
  if (options.autoDetect) return true;
  if (!found.byRule || found.byRule->status != engine::ScanResult::Status::Done) return false;
  const engine::SplitOptions& o = found.ruleOptions;
  return o.keywords == options.keywords && o.regex == options.regex &&
         o.numerals == options.numerals && o.titleMax == options.titleMax &&
         o.encoding == options.encoding && o.exclude == options.exclude;
}

void CSourceLook::Start(const engine::SplitOptions& options) {
  // Detection does not depend on the form's rule: a look at the same source keeps it.
  std::optional<engine::ScanResult> detected;
  if (m_found && m_found->source == options.sourcePath &&
      m_found->detection.status == engine::ScanResult::Status::Done &&
      m_found->ruleOptions.encoding == options.encoding &&
      SameText(m_found->ruleOptions, options) &&
      m_found->ruleOptions.titleMax == options.titleMax) {
    detected = m_found->detection;
  }
  Cancel();
  m_bStop = false;
  m_pending = {};
  m_pending.source = options.sourcePath;
  m_pending.ruleOptions = options;
  const unsigned generation = ++m_nGeneration;
  m_thread = std::thread([this, options, generation, detected = std::move(detected)] {
    QuietHost host(m_bStop);
    if (detected) {
      m_pending.detection = *detected;
    } else {
      engine::SplitOptions detect = options;
      detect.autoDetect = true;
      detect.mode = engine::SplitMode::ByChapter;
      m_pending.detection = Scan(detect, host);
    }
    if (!options.autoDetect && !m_bStop.load()) {
      engine::SplitOptions byRule = options;
      byRule.mode = engine::SplitMode::ByChapter;
      m_pending.byRule = Scan(byRule, host);
    }
    QMetaObject::invokeMethod(
        this, [this, generation] { OnEnded(generation); }, Qt::QueuedConnection);
  });
}

void CSourceLook::Cancel() {
  ++m_nGeneration;  // an end already queued is for a look no longer wanted
  m_bStop = true;
  if (m_thread.joinable()) m_thread.join();
  m_found.reset();
}

void CSourceLook::Wait() {
  if (!m_thread.joinable()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_thread.join();
  QApplication::restoreOverrideCursor();
  OnEnded(m_nGeneration);
}

void CSourceLook::OnEnded(unsigned generation) {
  if (generation != m_nGeneration) return;
  if (m_thread.joinable()) m_thread.join();
  ++m_nGeneration;  // told once: the queued end of a look already waited for says nothing
  // A look that was stopped found nothing worth keeping.
  if (m_pending.detection.status == engine::ScanResult::Status::Stopped) return;
  m_found = std::move(m_pending);
  emit Finished();
}

}  // namespace sekato::ui
