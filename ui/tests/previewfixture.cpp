#include "previewfixture.h"

#include <QFile>
#include <QLineEdit>

#include "cmainframe.h"
#include "uitestsupport.h"

namespace sekato::ui::test {

bool PreviewFixture::CopyNovel(const QString& sample) {
  if (!m_dir.isValid()) return false;
  m_novel = m_dir.filePath(QStringLiteral("novel.txt"));
  return QFile::copy(sample, m_novel);
}

bool PreviewFixture::OpenWindow() {
  m_app = std::make_unique<CSekatoApp>();
  return m_app->InitInstance({QStringLiteral("sekato")});
}

QString PreviewFixture::Text(const char* id) { return Item<QLineEdit>(View(), id)->text(); }

CPreviewDlg* PreviewFixture::Preview() {
  if (!Trigger(m_app->MainFrame(), "actionPreview")) return nullptr;
  CPreviewDlg* dialog = nullptr;
  WaitUntil([&] { return (dialog = View()->findChild<CPreviewDlg*>()) != nullptr; });
  return dialog;
}

}  // namespace sekato::ui::test
