#include "ccmdui.h"

#include <QAction>

namespace sekato::ui {

CCmdUI::CCmdUI(int nID, QAction* action) : m_nID(nID), m_pAction(action) {}

void CCmdUI::Enable(bool bOn) {
  m_bEnableChanged = true;
  m_bEnabled = bOn;
  if (m_pAction != nullptr) m_pAction->setEnabled(bOn);
}

void CCmdUI::SetCheck(bool bChecked) {
  m_bChecked = bChecked;
  if (m_pAction != nullptr) {
    m_pAction->setCheckable(true);
    m_pAction->setChecked(bChecked);
  }
}

}  // namespace sekato::ui
