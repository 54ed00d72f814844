#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "cpreviewdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"

namespace sekato::ui::test {

/// The program's window and a copy of the sample novel in a folder of the test's own, as the
/// preview's tests use them. A test class copies the novel in its `initTestCase`, opens the
/// window in its `init` and closes it in its `cleanup`.
class PreviewFixture {
 protected:
  /// Copies `sample` to m_novel; false when the folder or the copy failed.
  bool CopyNovel(const QString& sample);
  /// Starts the program; false when it did not start.
  bool OpenWindow();
  void CloseWindow() { m_app.reset(); }

  CSekatoView* View() { return m_app->View(); }
  /// The text of the form's field named `id`.
  QString Text(const char* id);
  /// Runs the preview command and returns its dialog, once the look at the source has ended.
  CPreviewDlg* Preview();

  QTemporaryDir m_dir;
  QString m_novel;
  std::unique_ptr<CSekatoApp> m_app;
};

}  // namespace sekato::ui::test
