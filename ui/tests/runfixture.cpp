#include "runfixture.h"

#include <QAction>

#include "uitestsupport.h"

namespace sekato::ui::test {

const QString RunFixture::kDone = QStringLiteral("文件分割完成！");
const QString RunFixture::kStopped = QStringLiteral("文件分割被终止！");

bool RunFixture::OpenWindow() {
  m_app = std::make_unique<CSekatoApp>();
  if (!m_app->InitInstance({QStringLiteral("sekato")})) return false;
  m_run = std::make_unique<ScriptedRun>();
  Run()->SetRunFunction(m_run->Function());
  return true;
}

void RunFixture::CloseWindow() {
  if (m_run) m_run->Release();
  m_app.reset();
  m_run.reset();
}

bool RunFixture::StartEnabled() { return Action(Frame(), "actionStart")->isEnabled(); }

bool RunFixture::StopEnabled() { return Action(Frame(), "actionStop")->isEnabled(); }

}  // namespace sekato::ui::test
