#include "csekatoapp.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

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
#include "usersettings.h"
#include "windowplacement.h"

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
  if (UserSettings::RememberForm()) FormSnapshot::FromMap(UserSettings::Form()).ApplyTo(View());

  // The command line may name the source file; anything else on it means nothing.
  for (const QString& argument : arguments.mid(1)) {
    if (argument.startsWith(QLatin1Char('-'))) continue;
    const QFileInfo file(argument);
    if (file.isFile()) View()->ChooseSource(file.absoluteFilePath());
    break;
  }

  SetDialogBkColor(Qt::white, Qt::black);

  // Shown once: already fitted to the form and placed, as a normal window whatever state
  // the program was started in.
  PlaceWindow();
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
  connect(m_pMainWnd.get(), &CMainFrame::RestoreDefaultsChosen, this,
          &CSekatoApp::RestoreDefaults, Qt::QueuedConnection);
  connect(m_pMainWnd.get(), &CMainFrame::RecentSourceChosen, this, &CSekatoApp::OpenRecent);
  connect(m_pMainWnd.get(), &CMainFrame::Closing, this, &CSekatoApp::Remember);
  auto* view = new CSekatoView;
  m_pMainWnd->SetView(view);
  view->OnInitialUpdate();
  connect(view, &CSekatoView::SourceChosen, m_pMainWnd.get(), [frame = m_pMainWnd.get()](const QString& path) {
    UserSettings::AddRecentSource(path);
    frame->ShowRecentSources();
  });
  return true;
}

void CSekatoApp::PlaceWindow() {
  const std::optional<QPoint> saved = UserSettings::WindowPosition();
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  const std::optional<QPoint> place =
      saved ? WindowPlacement::Fit(QRect(*saved, m_pMainWnd->frameGeometry().size()), areas)
            : std::nullopt;
  if (place) {
    m_pMainWnd->move(*place);
  } else {
    m_pMainWnd->CenterWindow();
  }
}

void CSekatoApp::Remember() {
  if (m_pMainWnd == nullptr) return;
  UserSettings::SetWindowPosition(m_pMainWnd->pos());
  CSekatoView* view = View();
  if (view != nullptr && UserSettings::RememberForm()) {
    UserSettings::SetForm(FormSnapshot::Of(view, view->BookFields()).ToMap());
  }
}

bool CSekatoApp::RefuseWhileRunning(const QString& why) {
  CSekatoView* view = View();
  if (view == nullptr || !view->RunControl()->CanStop()) return false;
  controls::AppMessageBox::Show(m_pMainWnd.get(), why);
  return true;
}

bool CSekatoApp::RestoreDefaults() {
  if (RefuseWhileRunning(tr("分割或预览结束后才能恢复默认设置。"))) return false;
  UserSettings::ClearForm();
  return Rebuild(false);
}

void CSekatoApp::OpenRecent(const QString& path) {
  if (View() == nullptr) return;
  if (!QFileInfo(path).isFile()) {
    controls::AppMessageBox::Show(m_pMainWnd.get(),
                                  tr("找不到这个文件，已从最近打开的列表中去掉：\n%1").arg(path));
    UserSettings::RemoveRecentSource(path);
    m_pMainWnd->ShowRecentSources();
    return;
  }
  View()->ChooseSource(path);
}

bool CSekatoApp::ChangeLanguage(UiLanguage::Language language) {
  if (RefuseWhileRunning(tr("分割或预览结束后才能切换语言。"))) return false;
  UiLanguage::Save(language);
  UiLanguage::Install(language);
  return Rebuild(true);
}

bool CSekatoApp::Rebuild(bool keepForm) {
  CSekatoView* view = View();
  if (m_pMainWnd == nullptr || view == nullptr) return true;
  const FormSnapshot form = FormSnapshot::Of(view);
  const QString source = view->SourceFile();
  const QPoint place = m_pMainWnd->pos();
  const bool toolbar = m_pMainWnd->ToolBar()->isVisible();
  const bool shown = m_pMainWnd->isVisible();
  m_pMainWnd.reset();
  if (!OnFileNew()) return false;
  if (!source.isEmpty()) View()->ChooseSource(source);
  if (keepForm) form.ApplyTo(View());
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
