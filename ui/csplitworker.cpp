#include "csplitworker.h"

#include <QCoreApplication>
#include <QFile>
#include <exception>

#include "enginemessages.h"
#include "sekato/chapterscan.h"
#include "sekato/splitrun.h"

namespace sekato::ui {

CSplitWorker::CSplitWorker(std::atomic<int>& running) : m_running(running) {}

engine::SplitEnd CSplitWorker::RunSplit(const engine::SplitOptions& options,
                                        engine::SplitHost& host) {
  return engine::SplitRun(options, host).Execute();
}

void CSplitWorker::Split(const engine::SplitOptions& options, const RunFunction& run) {
  try {
    const engine::SplitEnd end = run(options, *this);
    m_result.outcome = end.outcome;
    m_result.text = EngineMessages::Text(end.message) + m_result.warnings;
    m_result.tally = end.tally;
    // A run the user stopped leaves the flag to the Stop that lowered it.
    m_result.clearRunning = end.outcome != engine::SplitOutcome::Stopped;
  } catch (const std::exception& error) {
    // The run cannot go on; say so and give the form back rather than end the program.
    m_result.outcome = engine::SplitOutcome::Failed;
    m_result.text =
        QCoreApplication::translate("CSplitWorker", "分割出错：") + QString::fromUtf8(error.what());
    m_result.clearRunning = true;
  }
}

void CSplitWorker::Preview(const engine::SplitOptions& options) {
  try {
    m_result.scan = engine::ChapterScan::Run(options, this);
  } catch (const std::exception& error) {
    m_result.scan = {};
    m_result.scan.status = engine::ScanResult::Status::Failed;
    m_result.text =
        QCoreApplication::translate("CSplitWorker", "预览出错：") + QString::fromUtf8(error.what());
  }
}

bool CSplitWorker::Progress(std::int64_t position, std::int64_t length) {
  m_nUpper.store(length, std::memory_order_relaxed);
  m_nPos.store(position, std::memory_order_relaxed);
  return m_running.load(std::memory_order_relaxed) != 0;
}

void CSplitWorker::Warn(const engine::Message& message) {
  m_result.warnings += QLatin1Char('\n') + EngineMessages::Text(message);
}

QString CSplitWorker::CompletionText(const engine::RunTally& tally) {
  QString text = EngineMessages::Text(engine::Message(engine::MessageId::Completed));
  text += QCoreApplication::translate("CSplitWorker", "\n共写出 %1 个文件，保存在：\n%2")
              .arg(tally.pieces)
              .arg(QFile::decodeName(QByteArray::fromStdString(tally.directory)));
  if (tally.headings == 0) {
    text += QCoreApplication::translate("CSplitWorker",
                                        "\n\n没有找到章节标题，全文都写进了一个文件。"
                                        "“预览章节”可以列出书中标题的样子和能找到它们的设置。");
  }
  return text;
}

}  // namespace sekato::ui
