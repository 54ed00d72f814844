#include "crunstarter.h"

#include <utility>
#include <vector>

#include "cbookqueue.h"
#include "cconvertrow.h"
#include "crunchecks.h"
#include "csplitruncontrol.h"

namespace sekato::ui {

CRunStarter::CRunStarter(CRunChecks& checks, CConvertRow& convert, CSplitRunControl& run, Form form)
    : m_checks(checks), m_convert(convert), m_run(run), m_form(std::move(form)) {}

void CRunStarter::Start(bool askSource, const std::function<void(engine::SplitOptions&)>& prepare) {
  std::optional<engine::SplitOptions> options = m_form.takeOptions();
  if (!options || (askSource && !m_checks.ConfirmSource(*options))) return;
  if (!m_convert.ConfirmFit(*options)) return;
  // Another folder chosen is checked in its turn.
  bool headingsChecked = !askSource;  // a list from the preview has its headings
  while (options) {
    prepare(*options);
    if (!headingsChecked) {
      headingsChecked = true;
      if (!ConfirmHeadings(*options)) return;
    }
    if (ConfirmFolderAndStart(options)) return;
  }
}

bool CRunStarter::ConfirmHeadings(const engine::SplitOptions& options) {
  switch (m_checks.ConfirmHeadings(options)) {
    case CRunChecks::HeadingsAnswer::Go:
      return true;
    case CRunChecks::HeadingsAnswer::Preview:
      m_form.preview();
      return false;
    case CRunChecks::HeadingsAnswer::Cancel:
      return false;
  }
  return false;
}

bool CRunStarter::ConfirmFolderAndStart(std::optional<engine::SplitOptions>& options) {
  switch (m_checks.ConfirmFolder(*options)) {
    case CRunChecks::FolderAnswer::Go:
      m_run.Start(std::move(*options));
      return true;
    case CRunChecks::FolderAnswer::Cancel:
      return true;
    case CRunChecks::FolderAnswer::ChooseOther:
      break;
  }
  if (m_form.chooseOtherFolder().isEmpty()) return true;
  options = m_form.takeOptions();
  return false;
}

void CRunStarter::StartQueue(CBookQueue& queue, const std::function<void()>& relist) {
  std::optional<engine::SplitOptions> options = m_form.takeOptions();
  if (!options) return;
  QStringList books;
  for (const CBookQueue::Row& row : queue.Rows()) books << row.path;
  std::vector<engine::SplitOptions> runs = CBookQueue::OptionsFor(*options, books);
  // Two books writing into one folder would mix their pieces: such a queue is refused whole.
  if (!m_checks.ConfirmSeparateFolders(runs)) return;
  if (!m_convert.ConfirmFit(runs)) return;
  const qsizetype queued = books.size();
  if (!m_checks.ConfirmQueueHeadings(runs, books)) return;
  if (books.size() != queued) {
    // Skipped books leave the queue; the others keep their order and their rows.
    queue.SetBooks(books);
    relist();
  }
  if (!m_checks.ConfirmQueueFolders(runs)) return;
  m_run.StartQueue(queue, std::move(runs));
}

}  // namespace sekato::ui
