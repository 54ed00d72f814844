#include "csekatoapp.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>

#include "caboutdlg.h"
#include "cmainframe.h"
#include "csekatodoc.h"
#include "csekatoview.h"
#include "programversion.h"
#include "resourceids.h"

namespace sekato::ui {

CSekatoApp::CSekatoApp() = default;

// Members go in reverse order: the frame (and a run it may still stop) before the document.
CSekatoApp::~CSekatoApp() = default;

void CSekatoApp::SetIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("sekato"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(engine::ProgramVersion::kFull));
}

bool CSekatoApp::UseChineseQtTexts() {
  static QTranslator* installed = nullptr;
  if (installed != nullptr) return true;
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  QLocale::setDefault(chinese);
  auto translator = std::make_unique<QTranslator>(qApp);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  QCoreApplication::installTranslator(translator.get());
  installed = translator.release();  // owned by the application object
  return true;
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
  UseChineseQtTexts();
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
  m_pDocument = std::make_unique<CSekatoDoc>();
  if (!m_pDocument->OnNewDocument()) return false;
  m_pMainWnd = std::make_unique<CMainFrame>(m_pDocument.get());
  if (!m_pMainWnd->Create()) return false;
  connect(m_pMainWnd->Action(ID_APP_ABOUT), &QAction::triggered, this, &CSekatoApp::OnAppAbout);
  auto* view = new CSekatoView;
  m_pMainWnd->SetView(view);
  view->OnInitialUpdate();
  return true;
}

void CSekatoApp::OnAppAbout() {
  // A fresh box each time, so the link's visited state never carries over.
  CAboutDlg aboutDlg(m_pMainWnd.get());
  aboutDlg.exec();
}

}  // namespace sekato::ui
