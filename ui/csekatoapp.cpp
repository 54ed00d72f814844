#include "csekatoapp.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPalette>

#include "appmessagebox.h"
#include "caboutdlg.h"
#include "cfullcolortoolbar.h"
#include "cmainframe.h"
#include "csekatoview.h"
#include "csplitruncontrol.h"
#include "formsnapshot.h"
#include "programversion.h"
#include "resourceids.h"
#include "uilanguage.h"

namespace sekato::ui {

CSekatoApp::CSekatoApp() = default;

// The frame goes with the app, stopping a run it may still have.
CSekatoApp::~CSekatoApp() = default;

void CSekatoApp::SetIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("sekato"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(engine::ProgramVersion::kFull));
}

bool CSekatoApp::UseChineseQtTexts() {
  return UiLanguage::Install(UiLanguage::Language::SimplifiedChinese);
}

void CSekatoApp::SetDialogBkColor(const QColor& background, const QColor& text) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText, text);
  QApplication::setPalette(palette, "QDialog");
}

CSekatoView* CSekatoApp::View() const { return m_pMainWnd ? m_pMainWnd->GetActiveView() : nullptr; }

bool CSekatoApp::InitInstance(const QStringList& arguments) {
  SetIdentity();
  UiLanguage::Install(UiLanguage::Saved());
  QApplication::setWindowIcon(QIcon(AppIconResource()));

  if (!OnFileNew()) return false;

  // The command line may name the source file; anything else on it means nothing.
  for (const QString& argument : arguments.mid(1)) {
    if (argument.startsWith(QLatin1Char('-'))) continue;
    const QFileInfo file(argument);
    if (file.isFile()) View()->ChooseSource(file.absoluteFilePath());
    break;
  }

  SetDialogBkColor(Qt::white, Qt::black);

  // Shown once: already fitted to the form and centred, as a normal window whatever state
  // the program was started in.
  m_pMainWnd->CenterWindow();
  m_pMainWnd->setWindowState(Qt::WindowNoState);
  m_pMainWnd->show();
  m_pMainWnd->repaint();
  return true;
}

bool CSekatoApp::OnFileNew() {
  m_pMainWnd = std::make_unique<CMainFrame>();
  if (!m_pMainWnd->Create()) return false;
  connect(m_pMainWnd->AboutAction(), &QAction::triggered, this, &CSekatoApp::OnAppAbout);
  // The frame that asks goes away with the change: it happens once the menu has closed.
  connect(m_pMainWnd.get(), &CMainFrame::LanguageChosen, this, &CSekatoApp::ChangeLanguage,
          Qt::QueuedConnection);
  auto* view = new CSekatoView;
  m_pMainWnd->SetView(view);
  view->OnInitialUpdate();
  return true;
}

bool CSekatoApp::ChangeLanguage(UiLanguage::Language language) {
  CSekatoView* view = View();
  if (view != nullptr && view->RunControl()->CanStop()) {
    controls::AppMessageBox::Show(m_pMainWnd.get(), tr("分割或预览结束后才能切换语言。"));
    return false;
  }
  UiLanguage::Save(language);
  UiLanguage::Install(language);
  if (m_pMainWnd == nullptr || view == nullptr) return true;
  // Everything the user sees is built in the language it is built in: build it again.
  const FormSnapshot form = FormSnapshot::Of(view);
  const QString source = view->SourceFile();
  const QPoint place = m_pMainWnd->pos();
  const bool toolbar = m_pMainWnd->ToolBar()->isVisible();
  const bool shown = m_pMainWnd->isVisible();
  m_pMainWnd.reset();
  if (!OnFileNew()) return false;
  if (!source.isEmpty()) View()->ChooseSource(source);
  form.ApplyTo(View());
  m_pMainWnd->ToolBar()->setVisible(toolbar);
  if (shown) {
    // Its size is the new form's, which fits its words; its place stays.
    m_pMainWnd->move(place);
    m_pMainWnd->show();
  }
  return true;
}

void CSekatoApp::OnAppAbout() {
  // A fresh box each time, so the link's visited state never carries over.
  CAboutDlg aboutDlg(m_pMainWnd.get());
  aboutDlg.exec();
}

}  // namespace sekato::ui
