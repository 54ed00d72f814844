#pragma once

class QAction;

namespace sekato::ui {

/// What a command-state handler (`OnUpdate…`) may say about one command: enabled or not,
/// checked or not. It stands for one action, shared by the menu and the toolbar.
///
/// The router treats a command whose handler did not call Enable as enabled exactly when some
/// target has a handler for it, so commands nobody handles are greyed out.
class CCmdUI final {
 public:
  /// `action` may be null: the state is then only recorded (tests, probes).
  explicit CCmdUI(int nID, QAction* action = nullptr);

  void Enable(bool bOn = true);
  void SetCheck(bool bChecked = true);

  int ID() const { return m_nID; }
  bool EnableChanged() const { return m_bEnableChanged; }
  bool IsEnabled() const { return m_bEnabled; }
  bool IsChecked() const { return m_bChecked; }

 private:
  int m_nID;
  QAction* m_pAction;
  bool m_bEnableChanged = false;
  bool m_bEnabled = false;
  bool m_bChecked = false;
};

}  // namespace sekato::ui
