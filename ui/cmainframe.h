#pragma once

#include <QKeySequence>
#include <QMainWindow>

#include "uilanguage.h"

class QAction;
class QMenu;

namespace sekato::ui {

class CFullColorToolBar;
class CSekatoView;

/// The main window: the title "岚溪TXT分割器 V<major.minor>" (e.g. "岚溪TXT分割器 V1.1"), no
/// maximise button, no status bar, the menu, the full-colour toolbar and the form as its
/// only view.
///
/// Each command is one action shared by the menu and the toolbar, named after what it does
/// ("actionStart", "actionStop", "actionPreview", "actionExit", "actionToolBar", "actionAbout",
/// "actionFeedback", "actionNewVersion", "actionSoftList"). Start, Stop and Preview are enabled
/// as the view's run control says; the others always are.
class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame();
  ~CMainFrame() override;

  /// Builds the window, the menu and the toolbar; the window stays hidden. False when the
  /// toolbar cannot be made.
  bool Create();

  /// Makes `pView` the frame's only view and gives it the Start and Stop commands.
  void SetView(CSekatoView* pView);
  CSekatoView* GetActiveView() const { return m_pView; }

  CFullColorToolBar* ToolBar() const { return m_wndToolBar; }

  QAction* StartAction() const { return m_actionStart; }
  QAction* StopAction() const { return m_actionStop; }
  QAction* PreviewAction() const { return m_actionPreview; }
  QAction* AboutAction() const { return m_actionAbout; }

  /// Puts the window in the middle of its screen's available area.
  void CenterWindow();

  /// 操作 → 最近打开: fills it again from the user's settings, newest book first.
  void ShowRecentSources();
  QMenu* RecentMenu() const { return m_menuRecent; }
  /// 查看 → 记住设置 (checkable) and 查看 → 恢复默认设置.
  QAction* RememberFormAction() const { return m_actionRememberForm; }
  QAction* RestoreDefaultsAction() const { return m_actionRestoreDefaults; }

 signals:
  /// The user chose another language under 查看 → 语言.
  void LanguageChosen(UiLanguage::Language language);
  /// A book under 操作 → 最近打开 was chosen.
  void RecentSourceChosen(const QString& path);
  /// 查看 → 恢复默认设置 was chosen.
  void RestoreDefaultsChosen();
  /// The window is closing (the user agreed, and a run has been stopped): the last moment
  /// to remember what it shows.
  void Closing();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Create's steps: the window itself, its three menus, and the toolbar over their commands.
  void SetUpWindow();
  void AddOperateMenu();
  void AddViewMenu();
  void AddHelpMenu();
  bool ShowToolBar();

  /// 查看 → 语言: one checkable item for each language, the installed one checked.
  void AddLanguageMenu(QMenu* view);

  /// Adds `action` to `menu` and to the frame (for its shortcut) as `name` with `text`.
  /// `prompt` is "status tip\\ntooltip"; empty for a command without one (the Help links).
  QAction* AddCommand(QMenu* menu, QAction* action, const char* name, const QString& text,
                      const QString& prompt = {}, const QKeySequence& shortcut = {});

  /// 查看 → 记住设置 and 恢复默认设置.
  void AddSettingsItems(QMenu* view);

  QMenu* m_menuRecent = nullptr;
  QAction* m_actionRememberForm = nullptr;
  QAction* m_actionRestoreDefaults = nullptr;
  CSekatoView* m_pView = nullptr;
  CFullColorToolBar* m_wndToolBar = nullptr;
  QAction* m_actionStart = nullptr;
  QAction* m_actionStop = nullptr;
  QAction* m_actionPreview = nullptr;
  QAction* m_actionExit = nullptr;
  QAction* m_actionToolBar = nullptr;  ///< the toolbar's own, checked while it shows
  QAction* m_actionFeedback = nullptr;
  QAction* m_actionNewVersion = nullptr;
  QAction* m_actionSoftList = nullptr;
  QAction* m_actionAbout = nullptr;
};

}  // namespace sekato::ui
