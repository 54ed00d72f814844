#pragma once

#include <QString>
#include <memory>

#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "scriptedrun.h"

namespace sekato::ui::test {

/// The program's window with a scripted split standing in for the engine, so that every state
/// of a run can be held still and looked at. A test class opens it in its `init` and closes
/// it in its `cleanup`.
class RunFixture {
 public:
  /// The messages a run ends with.
  static const QString kDone;
  static const QString kStopped;
  /// How long a step may take before the test gives up.
  static constexpr int kPatienceMs = 20000;

 protected:
  /// Starts the program with a fresh ScriptedRun as its split; false when it did not start.
  bool OpenWindow();
  /// Releases the run and closes the program.
  void CloseWindow();

  CMainFrame* Frame() { return m_app->MainFrame(); }
  CSekatoView* View() { return m_app->View(); }
  CSplitRunControl* Run() { return View()->RunControl(); }
  bool StartEnabled();
  bool StopEnabled();
  void ChooseSource() { View()->ChooseSource(QStringLiteral("/books/novel.txt")); }
  bool WorkerEnded() { return !Run()->IsBusy(); }

  std::unique_ptr<CSekatoApp> m_app;
  std::unique_ptr<ScriptedRun> m_run;
};

}  // namespace sekato::ui::test
