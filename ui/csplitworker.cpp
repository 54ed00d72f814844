#include "csplitworker.h"

#include <QFile>
#include <exception>

#include "chapterscan.h"
#include "messages.h"

namespace sekato::ui {

CSplitWorker::CSplitWorker(std::atomic<int>& running, engine::Numerals::Series numeralSeries)
    : m_running(running), m_numeralSeries(numeralSeries) {}

void CSplitWorker::Split(const engine::SplitOptions& options, const RunFunction& run) {
  try {
    m_result.outcome = run(options, *this);
  } catch (const std::exception& error) {
    // The run cannot go on; say so and give the form back rather than end the program.
    m_result.outcome = engine::SplitOutcome::Failed;
    m_result.text = QStringLiteral("分割出错：") + QString::fromUtf8(error.what());
    m_result.clearRunning = true;
  }
}

void CSplitWorker::Preview(const engine::SplitOptions& options) {
  try {
    m_result.scan = engine::ChapterScan::Run(options, m_numeralSeries,
                                             [this](std::int64_t position, std::int64_t length) {
                                               m_nUpper.store(length, std::memory_order_relaxed);
                                               m_nPos.store(position, std::memory_order_relaxed);
                                               return IsRunning();
                                             });
  } catch (const std::exception& error) {
    m_result.scan = {};
    m_result.scan.status = engine::ScanResult::Status::Failed;
    m_result.scan.error = std::string("预览出错：") + error.what();
  }
}

engine::Numerals::Series CSplitWorker::NumeralSeries() { return m_numeralSeries; }

void CSplitWorker::ShowMessage(engine::SplitOutcome /*kind*/, const std::string& utf8Text) {
  m_result.text = QString::fromStdString(utf8Text) + m_result.warnings;
}

void CSplitWorker::SetProgressRange(std::int64_t upper) {
  m_nPos.store(0, std::memory_order_relaxed);
  m_nUpper.store(upper, std::memory_order_relaxed);
}

void CSplitWorker::SetProgressPos(std::int64_t position) {
  m_nPos.store(position, std::memory_order_relaxed);
}

bool CSplitWorker::IsRunning() { return m_running.load(std::memory_order_relaxed) != 0; }

void CSplitWorker::ClearRunning() { m_result.clearRunning = true; }

void CSplitWorker::Tally(const engine::RunTally& tally) { m_result.tally = tally; }

void CSplitWorker::Warn(const std::string& utf8Text) {
  m_result.warnings += QLatin1Char('\n') + QString::fromStdString(utf8Text);
}

QString CSplitWorker::CompletionText(const engine::RunTally& tally) {
  QString text = QString::fromUtf8(engine::Messages::kCompleted.data(),
                                   static_cast<qsizetype>(engine::Messages::kCompleted.size()));
  text += QStringLiteral("\n共写出 %1 个文件，保存在：\n%2")
              .arg(tally.pieces)
              .arg(QFile::decodeName(QByteArray::fromStdString(tally.directory)));
  if (tally.headings == 0) {
    text += QStringLiteral(
        "\n\n没有找到章节标题，全文都写进了一个文件。"
        "“预览章节”可以列出书中标题的样子和能找到它们的设置。");
  }
  return text;
}

}  // namespace sekato::ui
