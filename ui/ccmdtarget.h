#pragma once

namespace sekato::ui {

class CCmdUI;

/// One link of the command route (view, then frame, then application): a target either has
/// an entry for a command id or lets the next target try.
class CCmdTarget {
 public:
  enum class CmdCode {
    Command,  ///< run the command's handler
    UpdateUI, ///< run the command's state handler (`OnUpdate…`) with the CCmdUI
    Probe,    ///< only tell whether a command handler exists; run nothing
  };

  virtual ~CCmdTarget() = default;

  /// Returns true when this target has an entry of kind `code` for `nID` (and, for Command
  /// and UpdateUI, has run it). `pCmdUI` is used only with UpdateUI.
  virtual bool OnCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) = 0;
};

}  // namespace sekato::ui
