#include "cmainframe.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include "appmessagebox.h"
#include "cfullcolortoolbar.h"
#include "csekatoview.h"
#include "programversion.h"
#include "resourceids.h"
#include "usersettings.h"
#include "weblinks.h"

namespace sekato::ui {

namespace {
constexpr int kButtonWidth = 24;
}  // namespace

CMainFrame::CMainFrame() = default;

// The view, deleted with the frame's children, stops a run and waits for it.
CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create() {
  SetUpWindow();
  m_wndToolBar = new CFullColorToolBar(this);
  m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
  AddOperateMenu();
  AddViewMenu();
  AddHelpMenu();
  // Start, Stop and Preview wait for a view to carry them out.
  for (QAction* action : {m_actionStart, m_actionStop, m_actionPreview}) action->setEnabled(false);
  return ShowToolBar();
}

void CMainFrame::SetUpWindow() {
  // The caption never changes: no document name in it, and no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8(engine::ProgramVersion::kTitle));
  setWindowIcon(QIcon(AppIconResource()));
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(true);
  // The desktop's default size for a new window, title bar and borders included (the window
  // manager adds them only once it is shown); the form then shrinks it to fit.
  if (QScreen* screen = this->screen()) {
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    resize(screen->availableGeometry().size() - QSize(2 * border, title + 2 * border));
  }
}

void CMainFrame::AddOperateMenu() {
  QMenu* menu = menuBar()->addMenu(tr("操作(&O)"));
  m_actionStart = AddCommand(menu, new QAction(this), "actionStart", tr("开始分割(&S)"),
                             tr("点击后开始分割文本文件。\n分割"), Qt::CTRL | Qt::Key_Return);
  m_actionStop = AddCommand(menu, new QAction(this), "actionStop", tr("停止分割(&P)"),
                            tr("停止分割文本文件\n停止"), Qt::Key_Escape);
  m_actionPreview = AddCommand(menu, new QAction(this), "actionPreview", tr("预览章节(&V)"),
                               tr("不写文件，先列出按当前设置将找到的章节\n预览章节"));
  menu->addSeparator();
  m_menuRecent = menu->addMenu(tr("最近打开(&R)"));
  m_menuRecent->menuAction()->setObjectName(QStringLiteral("menuRecent"));
  ShowRecentSources();
  menu->addSeparator();
  m_actionExit = AddCommand(menu, new QAction(this), "actionExit", tr("退出(&X)"),
                            tr("退出应用程序；提示保存文档\n退出"), QKeySequence::Quit);
  connect(m_actionExit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::AddViewMenu() {
  QMenu* menu = menuBar()->addMenu(tr("查看(&V)"));
  // The toolbar's own action: it checks itself while the toolbar is visible.
  m_actionToolBar = AddCommand(menu, m_wndToolBar->toggleViewAction(), "actionToolBar",
                               tr("工具栏(&T)"), tr("显示或隐藏工具栏\n显隐工具栏"));
  AddLanguageMenu(menu);
  AddSettingsItems(menu);
}

void CMainFrame::AddHelpMenu() {
  QMenu* menu = menuBar()->addMenu(tr("帮助(&H)"));
  m_actionFeedback = AddCommand(menu, new QAction(this), "actionFeedback", tr("意见返馈(&F)"));
  connect(m_actionFeedback, &QAction::triggered, this, &WebLinks::OpenFeedback);
  m_actionNewVersion =
      AddCommand(menu, new QAction(this), "actionNewVersion", tr("查看新版本(&N)"));
  connect(m_actionNewVersion, &QAction::triggered, this, &WebLinks::OpenNewVersion);
  m_actionSoftList = AddCommand(menu, new QAction(this), "actionSoftList", tr("岚溪软件列表(&L)"));
  connect(m_actionSoftList, &QAction::triggered, this, &WebLinks::OpenSoftList);
  menu->addSeparator();
  m_actionAbout = AddCommand(menu, new QAction(this), "actionAbout", tr("关于 岚溪TXT分割器(&A)"),
                             tr("显示程序信息，版本号和版权\n关于"));
}

bool CMainFrame::ShowToolBar() {
  m_wndToolBar->setIconSize(QSize(kButtonWidth, kButtonWidth));  // movable and floatable anywhere
  if (!m_wndToolBar->LoadToolBar(
          {m_actionStart, m_actionStop, m_actionPreview, nullptr, m_actionAbout, m_actionExit})) {
    return false;
  }
  m_wndToolBar->SetFullColorImages(kButtonWidth, IDR_MAINFRAME, IDR_MAINFRAME,
                                   IDB_TOOLBAR_DISABLED);
  addToolBar(Qt::TopToolBarArea, m_wndToolBar);
  return true;
}

void CMainFrame::AddLanguageMenu(QMenu* view) {
  QMenu* menu = view->addMenu(tr("语言(&L)"));
  menu->menuAction()->setObjectName(QStringLiteral("menuLanguage"));
  auto* group = new QActionGroup(menu);
  for (UiLanguage::Language language : UiLanguage::kAll) {
    // Each language is named in itself, so that a user who cannot read the current one
    // still finds their own.
    QAction* action = menu->addAction(UiLanguage::NativeName(language));
    action->setObjectName(QStringLiteral("actionLanguage_") + UiLanguage::Code(language));
    action->setCheckable(true);
    action->setChecked(language == UiLanguage::Installed());
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, language] {
      if (language != UiLanguage::Installed()) emit LanguageChosen(language);
    });
  }
}

void CMainFrame::AddSettingsItems(QMenu* view) {
  view->addSeparator();
  m_actionRememberForm = view->addAction(tr("记住设置(&M)"));
  m_actionRememberForm->setObjectName(QStringLiteral("actionRememberForm"));
  m_actionRememberForm->setCheckable(true);
  m_actionRememberForm->setChecked(UserSettings::RememberForm());
  m_actionRememberForm->setStatusTip(tr("下次启动时恢复本次的分割设置"));
  connect(m_actionRememberForm, &QAction::toggled, this, &UserSettings::SetRememberForm);
  m_actionRestoreDefaults = view->addAction(tr("恢复默认设置(&D)"));
  m_actionRestoreDefaults->setObjectName(QStringLiteral("actionRestoreDefaults"));
  m_actionRestoreDefaults->setStatusTip(tr("把分割设置恢复为程序的默认值"));
  connect(m_actionRestoreDefaults, &QAction::triggered, this, &CMainFrame::RestoreDefaultsChosen);
}

void CMainFrame::ShowRecentSources() {
  m_menuRecent->clear();
  const QStringList recent = UserSettings::RecentSources();
  for (int i = 0; i < recent.size(); ++i) {
    // "&1 /books/a.txt": the number is the item's key; an ampersand in a path is doubled so
    // that it shows.
    QString path = QDir::toNativeSeparators(recent[i]);
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = m_menuRecent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
    action->setObjectName(QStringLiteral("actionRecent_%1").arg(i + 1));
    connect(action, &QAction::triggered, this,
            [this, book = recent[i]] { emit RecentSourceChosen(book); });
  }
  if (recent.isEmpty()) m_menuRecent->addAction(tr("（无）"))->setEnabled(false);
}

QAction* CMainFrame::AddCommand(QMenu* menu, QAction* action, const char* name, const QString& text,
                                const QString& prompt, const QKeySequence& shortcut) {
  action->setText(text);
  action->setObjectName(QString::fromLatin1(name));
  // The toolbar shows the tooltip; the status tip goes out as the command's status text,
  // which this frame (having no status bar) lets pass unseen.
  const qsizetype split = prompt.indexOf(QLatin1Char('\n'));
  if (split >= 0) {
    action->setStatusTip(prompt.left(split));
    action->setToolTip(prompt.mid(split + 1));
  }
  action->setShortcut(shortcut);
  // A toolbar button's tip names the keys that do the same: "分割 (Ctrl+Return)".
  if (!shortcut.isEmpty() && !action->toolTip().isEmpty()) {
    action->setToolTip(
        tr("%1 (%2)").arg(action->toolTip(), shortcut.toString(QKeySequence::PortableText)));
  }
  menu->addAction(action);
  addAction(action);  // its shortcut works while the toolbar is hidden too
  return action;
}

void CMainFrame::SetView(CSekatoView* pView) {
  m_pView = pView;
  setCentralWidget(pView);
  installEventFilter(pView);  // a text file dropped on the menu or toolbar is the view's too
  const CSplitRunControl* run = pView->RunControl();
  QAction* start = m_actionStart;
  QAction* stop = m_actionStop;
  QAction* preview = m_actionPreview;
  connect(start, &QAction::triggered, pView, &CSekatoView::OnSplitStart);
  connect(stop, &QAction::triggered, pView, &CSekatoView::OnSplitStop);
  connect(preview, &QAction::triggered, pView, &CSekatoView::OnSplitPreview);
  // A preview can run whenever a split could.
  connect(run, &CSplitRunControl::CanStartChanged, start, &QAction::setEnabled);
  connect(run, &CSplitRunControl::CanStartChanged, preview, &QAction::setEnabled);
  connect(run, &CSplitRunControl::CanStopChanged, stop, &QAction::setEnabled);
  connect(run, &CSplitRunControl::PercentChanged, this, [this](int percent) {
    const QString title = QString::fromUtf8(engine::ProgramVersion::kTitle);
    setWindowTitle(percent < 0 ? title : tr("%1% — %2").arg(percent).arg(title));
  });
  start->setEnabled(run->CanStart());
  preview->setEnabled(run->CanStart());
  stop->setEnabled(run->CanStop());
}

void CMainFrame::CenterWindow() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2,
       area.y() + (area.height() - outer.height()) / 2);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Nothing to save; a running split is stopped, its current piece closed, and waited for,
  // once the user agrees.
  if (m_pView != nullptr) {
    const CSplitRunControl* run = m_pView->RunControl();
    if (run->IsSplitting() && !run->IsClosed() &&
        controls::AppMessageBox::Ask(
            this,
            tr("分割还在进行。要停止分割并退出吗？已写出的文件会保留，最后一个文件会完整结束。"),
            {tr("停止并退出"), tr("继续分割")}) != 0) {
      event->ignore();
      return;
    }
    m_pView->StopAndWait();
  }
  emit Closing();
  event->accept();
}

}  // namespace sekato::ui
