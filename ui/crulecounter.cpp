#include "crulecounter.h"

#include <QMetaObject>
#include <exception>

#include "quiethost.h"
#include "sekato/chapterscan.h"

namespace sekato::ui {

namespace {

// Only the rules matter: a plain keyword scan, no conversion (it comes after the rules), no
// list and no detection, so the pass does no more than it must.
engine::SplitOptions CountingOptions(const engine::SplitOptions& form) {
  engine::SplitOptions o;
  o.sourcePath = form.sourcePath;
  o.sourceBase = form.sourceBase;
  o.sourceTitle = form.sourceTitle;
  o.encoding = form.encoding;
  o.textEncoding = engine::Encoding::Utf8;
  o.keywords = "第  章";
  o.mode = engine::SplitMode::ByChapter;
  o.replaceRules = form.replaceRules;
  return o;
}

}  // namespace

CRuleCounter::CRuleCounter(QObject* parent) : QObject(parent) {}

CRuleCounter::~CRuleCounter() { Cancel(); }

void CRuleCounter::Start(const engine::SplitOptions& options) {
  Cancel();
  m_bStop = false;
  m_counts.clear();
  m_bOk = false;
  const unsigned generation = ++m_nGeneration;
  m_thread = std::thread([this, options = CountingOptions(options), generation] {
    QuietHost host(m_bStop);
    try {
      const engine::ScanResult result = engine::ChapterScan::Run(options, &host);
      m_bOk = result.status == engine::ScanResult::Status::Done;
      if (m_bOk) m_counts = result.ruleCounts;
    } catch (const std::exception&) {
      m_bOk = false;  // a book that cannot be read has no counts; a split will say why
    }
    QMetaObject::invokeMethod(
        this, [this, generation] { OnEnded(generation); }, Qt::QueuedConnection);
  });
}

void CRuleCounter::Cancel() {
  ++m_nGeneration;  // an end already queued is for a count no longer wanted
  m_bStop = true;
  if (m_thread.joinable()) m_thread.join();
}

void CRuleCounter::OnEnded(unsigned generation) {
  if (generation != m_nGeneration) return;
  if (m_thread.joinable()) m_thread.join();
  emit Counted(m_counts, m_bOk);
}

}  // namespace sekato::ui
