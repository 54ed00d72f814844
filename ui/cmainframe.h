#pragma once

#include <QHash>
#include <QMainWindow>

#include "ccmdtarget.h"

class QAction;
class QMenu;

namespace sekato::ui {

class CFullColorToolBar;
class CSekatoDoc;
class CSekatoView;

/// The main window: the title "岚溪TXT分割器 V<major.minor>" (e.g. "岚溪TXT分割器 V1.1"), no
/// maximise button, no status bar, menu 128, the full-colour toolbar 128 and the form as its
/// only view.
///
/// Commands from the menu and the toolbar share one action per id ("32771", …) and go the
/// command route: the view first, then the frame, then the application. Before a command
/// runs, and whenever a menu opens or the view says its state may have changed, the route's
/// state handlers decide which actions are enabled and checked; a command is never run while
/// its state handler disables it.
class CMainFrame final : public QMainWindow, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CMainFrame(CSekatoDoc* pDocument);
  ~CMainFrame() override;

  /// Builds the window, the menu and the toolbar; the window stays hidden. False when the
  /// toolbar cannot be made.
  bool Create();

  /// Makes `pView` the frame's only view and routes commands through it first.
  void SetView(CSekatoView* pView);
  CSekatoView* GetActiveView() const { return m_pView; }

  /// The last link of the command route (the application).
  void SetAppTarget(CCmdTarget* pApp) { m_pApp = pApp; }

  CFullColorToolBar* ToolBar() const { return m_wndToolBar; }
  CSekatoDoc* GetActiveDocument() const { return m_pDocument; }

  /// The action of command `nID` (shared by the menu and the toolbar), or null.
  QAction* Action(int nID) const { return m_actions.value(nID, nullptr); }

  /// Lays out the menu, toolbar and view for the frame's current size.
  void RecalcLayout();

  /// Puts the window in the middle of its screen's available area.
  void CenterWindow();

  /// Runs command `nID` along the route, unless its state handler disables it. True when it ran.
  bool OnCommand(int nID);

  /// Asks the route for the state of every command and updates the actions.
  void UpdateCommandUI();

  bool OnCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) override;

  // Help menu (their pages open in a later version of the frame).
  void OnHelpFeedback();
  void OnHelpNewVersion();
  void OnHelpSoftList();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  /// `prompt` is the command's string-table entry, "status prompt\ntooltip"; empty for a
  /// command without one (the Help links).
  QAction* AddCommand(QMenu* menu, int nID, const QString& text, const QString& prompt = {});
  bool RouteCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI);
  void UpdateCommandUI(QAction* action);

  CSekatoDoc* m_pDocument;
  CSekatoView* m_pView = nullptr;
  CCmdTarget* m_pApp = nullptr;
  CFullColorToolBar* m_wndToolBar = nullptr;
  QHash<int, QAction*> m_actions;
};

}  // namespace sekato::ui
