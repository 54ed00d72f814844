#include "cmainframe.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>

#include "ccmdui.h"
#include "cfullcolortoolbar.h"
#include "csekatoview.h"
#include "programversion.h"
#include "resourceids.h"
#include "weblinks.h"

namespace sekato::ui {

namespace {
constexpr int kButtonWidth = 24;
}  // namespace

CMainFrame::CMainFrame(CSekatoDoc* pDocument) : m_pDocument(pDocument) {}

CMainFrame::~CMainFrame() {
  // The view outlives this part of the frame by a moment (Qt deletes children later): stop
  // its run now and stop listening to it.
  if (m_pView != nullptr) {
    m_pView->disconnect(this);
    m_pView->StopAndWait();
  }
}

bool CMainFrame::Create() {
  // The caption never changes: no document name in it, and no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8(engine::ProgramVersion::kTitle));
  setWindowIcon(QIcon(AppIconResource()));
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(true);
  // The desktop's default size for a new window; the form then shrinks it to fit.
  if (QScreen* screen = this->screen()) resize(screen->availableGeometry().size());

  QMenu* menu = menuBar()->addMenu(QStringLiteral("操作(&O)"));
  AddCommand(menu, ID_SPLIT_START, QStringLiteral("开始分割(&S)"),
             QStringLiteral("点击后开始分割文本文件。\n分割"));
  AddCommand(menu, ID_SPLIT_STOP, QStringLiteral("停止分割(&P)"),
             QStringLiteral("停止分割文本文件\n停止"));
  AddCommand(menu, ID_SPLIT_PREVIEW, QStringLiteral("预览章节(&V)"),
             QStringLiteral("不写文件，先列出按当前设置将找到的章节\n预览章节"));
  menu->addSeparator();
  AddCommand(menu, ID_APP_EXIT, QStringLiteral("退出(&X)"),
             QStringLiteral("退出应用程序；提示保存文档\n退出"));
  menu = menuBar()->addMenu(QStringLiteral("查看(&V)"));
  AddCommand(menu, ID_VIEW_TOOLBAR, QStringLiteral("工具栏(&T)"),
             QStringLiteral("显示或隐藏工具栏\n显隐工具栏"))
      ->setCheckable(true);
  menu = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
  AddCommand(menu, ID_HELP_FEEDBACK, QStringLiteral("意见返馈(&F)"));
  AddCommand(menu, ID_HELP_NEWVERSION, QStringLiteral("查看新版本(&N)"));
  AddCommand(menu, ID_HELP_SOFTLIST, QStringLiteral("岚溪软件列表(&L)"));
  menu->addSeparator();
  AddCommand(menu, ID_APP_ABOUT, QStringLiteral("关于 岚溪TXT分割器(&A)"),
             QStringLiteral("显示程序信息，版本号和版权\n关于"));
  for (QMenu* popup : menuBar()->findChildren<QMenu*>()) {
    connect(popup, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
  }

  m_wndToolBar = new CFullColorToolBar(this);
  m_wndToolBar->setObjectName(IdName(ID_VIEW_TOOLBAR));
  m_wndToolBar->setIconSize(QSize(kButtonWidth, kButtonWidth));
  m_wndToolBar->setMovable(true);
  m_wndToolBar->setFloatable(true);
  m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  if (!m_wndToolBar->LoadToolBar({Action(ID_SPLIT_START), Action(ID_SPLIT_STOP),
                                  Action(ID_SPLIT_PREVIEW), nullptr, Action(ID_APP_ABOUT),
                                  Action(ID_APP_EXIT)})) {
    return false;
  }
  m_wndToolBar->SetFullColorImages(kButtonWidth, IDR_MAINFRAME, IDR_MAINFRAME,
                                   IDB_TOOLBAR_DISABLED);
  addToolBar(Qt::TopToolBarArea, m_wndToolBar);
  connect(m_wndToolBar, &QToolBar::visibilityChanged, this, [this] { UpdateCommandUI(); });
  return true;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int nID, const QString& text,
                                const QString& prompt) {
  auto* action = new QAction(text, this);
  action->setObjectName(IdName(nID));
  action->setData(nID);
  // "prompt\ntooltip": the toolbar shows the tooltip; the prompt goes out as the command's
  // status text, which this frame (having no status bar) lets pass unseen.
  const qsizetype split = prompt.indexOf(QLatin1Char('\n'));
  if (split >= 0) {
    action->setStatusTip(prompt.left(split));
    action->setToolTip(prompt.mid(split + 1));
  }
  menu->addAction(action);
  m_actions.insert(nID, action);
  connect(action, &QAction::triggered, this, [this, nID] { OnCommand(nID); });
  return action;
}

void CMainFrame::SetView(CSekatoView* pView) {
  m_pView = pView;
  setCentralWidget(pView);
  connect(pView, &CSekatoView::CommandStateChanged, this, [this] { UpdateCommandUI(); });
}

void CMainFrame::RecalcLayout() {
  if (layout() != nullptr) layout()->activate();
}

void CMainFrame::CenterWindow() {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2,
       area.y() + (area.height() - outer.height()) / 2);
}

bool CMainFrame::RouteCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) {
  if (m_pView != nullptr && m_pView->OnCmdMsg(nID, code, pCmdUI)) return true;
  if (OnCmdMsg(nID, code, pCmdUI)) return true;
  return m_pApp != nullptr && m_pApp->OnCmdMsg(nID, code, pCmdUI);
}

void CMainFrame::UpdateCommandUI(QAction* action) {
  const int nID = action->data().toInt();
  CCmdUI state(nID, action);
  // A command whose state handler says nothing is enabled exactly when someone handles it.
  if (!RouteCmdMsg(nID, CmdCode::UpdateUI, &state) || !state.EnableChanged()) {
    state.Enable(RouteCmdMsg(nID, CmdCode::Probe, nullptr));
  }
}

void CMainFrame::UpdateCommandUI() {
  for (QAction* action : std::as_const(m_actions)) UpdateCommandUI(action);
}

bool CMainFrame::OnCommand(int nID) {
  CCmdUI state(nID);
  const bool enabled = RouteCmdMsg(nID, CmdCode::UpdateUI, &state) && state.EnableChanged()
                           ? state.IsEnabled()
                           : RouteCmdMsg(nID, CmdCode::Probe, nullptr);
  const bool ran = enabled && RouteCmdMsg(nID, CmdCode::Command, nullptr);
  UpdateCommandUI();
  return ran;
}

bool CMainFrame::OnCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) {
  const bool run = code == CmdCode::Command;
  switch (nID) {
    case ID_HELP_FEEDBACK:
      if (run) OnHelpFeedback();
      return code != CmdCode::UpdateUI;
    case ID_HELP_NEWVERSION:
      if (run) OnHelpNewVersion();
      return code != CmdCode::UpdateUI;
    case ID_HELP_SOFTLIST:
      if (run) OnHelpSoftList();
      return code != CmdCode::UpdateUI;
    case ID_APP_EXIT:
      if (run) close();
      return code != CmdCode::UpdateUI;
    case ID_VIEW_TOOLBAR:
      if (run) m_wndToolBar->setVisible(m_wndToolBar->isHidden());
      if (code == CmdCode::UpdateUI) pCmdUI->SetCheck(!m_wndToolBar->isHidden());
      return true;
    default:
      return false;
  }
}

void CMainFrame::OnHelpFeedback() { WebLinks::OpenFeedback(); }

void CMainFrame::OnHelpNewVersion() { WebLinks::OpenNewVersion(); }

void CMainFrame::OnHelpSoftList() { WebLinks::OpenSoftList(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Nothing to save; a running split is stopped, its current piece closed, and waited for.
  if (m_pView != nullptr) m_pView->StopAndWait();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!CSekatoView::TextFileFromDrop(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QString path = CSekatoView::TextFileFromDrop(event->mimeData());
  if (path.isEmpty() || m_pView == nullptr) return;
  event->acceptProposedAction();
  m_pView->ChooseSource(path);
}

}  // namespace sekato::ui
