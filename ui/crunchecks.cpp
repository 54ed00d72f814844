#include "crunchecks.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <utility>

#include "appmessagebox.h"
#include "csourcelook.h"
#include "enginemessages.h"
#include "queueheadingcheck.h"
#include "sekato/olderpieces.h"
#include "sekato/outputfolders.h"
#include "sekato/scanreport.h"
#include "sekato/sourceclassifier.h"

namespace sekato::ui {

namespace {

QString PathText(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

}  // namespace

CRunChecks::CRunChecks(QWidget* form, CSourceLook& look, std::function<void()> lookChanged)
    : m_pForm(form), m_look(look), m_lookChanged(std::move(lookChanged)) {}

bool CRunChecks::ConfirmSource(const engine::SplitOptions& options) const {
  using Kind = engine::SourceClassifier::Kind;
  if (engine::SourceClassifier::OfFile(options.sourcePath) != Kind::Empty) return true;
  const QString text =
      tr("源文件“%1”是空的，分割只会建立一个空目录。").arg(PathText(options.sourcePath));
  return controls::AppMessageBox::Ask(m_pForm, text, {tr("仍然分割"), tr("取消")}) == 0;
}

CRunChecks::HeadingsAnswer CRunChecks::ConfirmHeadings(const engine::SplitOptions& options) {
  // Only a chapter split by the form's rule needs the look; any other leaves the disk to the
  // split at once.
  if (options.mode != engine::SplitMode::ByChapter || options.toc) {
    if (m_look.IsRunning()) {  // what a finished look found stays on the form
      m_look.Cancel();
      m_lookChanged();
    }
    return HeadingsAnswer::Go;
  }
  m_look.Wait();
  const CSourceLook::Findings* found = m_look.Found();
  if (found == nullptr || !CSourceLook::Answers(*found, options)) {
    // The form's rule changed since the source was chosen: look again by the new one.
    m_look.Start(options);
    m_look.Wait();
    found = m_look.Found();
  }
  // A source that cannot be looked at is the split's to refuse, with its reason.
  if (found == nullptr || !CSourceLook::Answers(*found, options)) return HeadingsAnswer::Go;
  const engine::ScanResult& detection = found->detection;
  const bool detected = detection.detected && detection.detection.found;
  QStringList lines;
  QStringList choices;
  if (options.autoDetect) {
    if (detected) return HeadingsAnswer::Go;
    lines << tr("自动识别没有找到成串编号的标题，无法按章节分割。");
    choices << tr("预览章节") << tr("取消");
  } else {
    const engine::ScanResult& byRule = *found->byRule;
    if (byRule.headingCount > 0) return HeadingsAnswer::Go;
    lines << tr("按现在的设置找不到章节标题，全文会写进一个文件。");
    lines << QString::fromStdString(engine::ScanReport::Summary(byRule));
    for (const engine::ScanHint& hint : engine::ScanReport::Hints(byRule)) {
      lines << QString::fromStdString(hint.text);
    }
    if (detected) {
      lines << tr("%1：选择“自动识别”可以按它分割")
                   .arg(QString::fromStdString(engine::ScanReport::Detection(detection)));
    }
    choices << tr("仍然写出") << tr("预览章节") << tr("取消");
  }
  const int chosen = controls::AppMessageBox::Ask(m_pForm, lines.join(QLatin1Char('\n')), choices);
  const int preview = static_cast<int>(choices.size()) - 2;
  if (chosen == preview) return HeadingsAnswer::Preview;
  if (chosen == 0 && choices.size() == 3) return HeadingsAnswer::Go;
  return HeadingsAnswer::Cancel;
}

CRunChecks::FolderAnswer CRunChecks::ConfirmFolder(const engine::SplitOptions& options) const {
  // How many pieces the split writes is known only afterwards: every piece-like name counts,
  // and clearing one the split would overwrite anyway loses nothing.
  const std::vector<std::string> older = engine::OlderPieces::Find(options, 0);
  if (older.empty()) return FolderAnswer::Go;
  const std::string folder = engine::OutputFolders::Of(options);
  constexpr std::size_t kListed = 10;
  QStringList names;
  for (std::size_t i = 0; i < older.size() && i < kListed; ++i) names << PathText(older[i]);
  if (older.size() > kListed) names << tr("……");
  const QString text = tr("目录“%1”中已有 %n 个以前分割留下的文件。这次分割不一定会覆盖它们，"
                          "新旧文件会混在一起：\n%2",
                          nullptr, static_cast<int>(older.size()))
                           .arg(PathText(folder), names.join(QLatin1Char('\n')));
  const int chosen = controls::AppMessageBox::Ask(
      m_pForm, text, {tr("清空旧文件后继续"), tr("换一个文件夹"), tr("取消")});
  if (chosen == 0) {
    std::string reason;
    if (engine::OlderPieces::Remove(folder, older, reason)) return FolderAnswer::Go;
    controls::AppMessageBox::Show(m_pForm, tr("无法删除旧文件：%1").arg(PathText(reason)));
    return FolderAnswer::Cancel;
  }
  return chosen == 1 ? FolderAnswer::ChooseOther : FolderAnswer::Cancel;
}

bool CRunChecks::ConfirmSeparateFolders(const std::vector<engine::SplitOptions>& runs) const {
  if (const auto clash = engine::OutputFolders::FindClash(runs)) {
    controls::AppMessageBox::Show(
        m_pForm, EngineMessages::Text(
                     engine::Message(engine::MessageId::SharedFolder,
                                     {runs[clash->first].sourcePath, runs[clash->second].sourcePath,
                                      engine::OutputFolders::Of(runs[clash->second])})));
    return false;
  }
  return true;
}

bool CRunChecks::ConfirmQueueFolders(const std::vector<engine::SplitOptions>& runs) const {
  // Older pieces in any book's folder are asked about once, for the whole queue.
  QStringList concerned;
  std::vector<std::vector<std::string>> older(runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    older[i] = engine::OlderPieces::Find(runs[i], 0);
    if (!older[i].empty()) {
      concerned << tr("%1：%n 个旧文件", nullptr, static_cast<int>(older[i].size()))
                       .arg(PathText(engine::OutputFolders::Of(runs[i])));
    }
  }
  if (!concerned.isEmpty()) {
    const QString text = tr("这些目录中已有以前分割留下的文件，新旧文件会混在一起：\n%1")
                             .arg(concerned.join(QLatin1Char('\n')));
    if (controls::AppMessageBox::Ask(m_pForm, text, {tr("清空旧文件后继续"), tr("取消")}) != 0)
      return false;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      std::string reason;
      if (!older[i].empty() &&
          !engine::OlderPieces::Remove(engine::OutputFolders::Of(runs[i]), older[i], reason)) {
        controls::AppMessageBox::Show(m_pForm, tr("无法删除旧文件：%1").arg(PathText(reason)));
        return false;
      }
    }
  }
  return true;
}

bool CRunChecks::ConfirmQueueHeadings(std::vector<engine::SplitOptions>& runs,
                                      QStringList& books) const {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::vector<std::size_t> without = QueueHeadingCheck::BooksWithoutHeadings(runs);
  QApplication::restoreOverrideCursor();
  if (without.empty()) return true;
  QStringList names;
  for (std::size_t i : without) names << QFileInfo(books[static_cast<int>(i)]).fileName();
  const QString text = tr("按现在的设置，这些书找不到章节标题，每本都会整本写进一个文件：\n%1")
                           .arg(names.join(QLatin1Char('\n')));
  const bool all = without.size() == runs.size();
  const QStringList choices = all ? QStringList{tr("仍然写出"), tr("取消")}
                                  : QStringList{tr("仍然写出"), tr("跳过这些书"), tr("取消")};
  const int chosen = controls::AppMessageBox::Ask(m_pForm, text, choices);
  if (chosen == 0) return true;
  if (all || chosen != 1) return false;
  for (auto it = without.rbegin(); it != without.rend(); ++it) {
    runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(*it));
    books.removeAt(static_cast<int>(*it));
  }
  return true;
}

}  // namespace sekato::ui
