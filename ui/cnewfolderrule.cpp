#include "cnewfolderrule.h"

#include <QLineEdit>

#include "cformoptions.h"
#include "fieldsetters.h"

namespace sekato::ui {

CNewFolderRule::CNewFolderRule(QLineEdit* newDir, const QString& source)
    : m_pNewDir(newDir), m_strSource(source) {
  connect(m_pNewDir, &QLineEdit::textEdited, this, [this] {
    m_bChosen = true;
    m_strChosenFor = m_strSource;
  });
}

void CNewFolderRule::Choose(const QString& folder) {
  FieldSetters::SetText(m_pNewDir, folder);
  m_bChosen = true;
  m_strChosenFor = m_strSource;
}

void CNewFolderRule::SourceChanged(const QString& previous, const QString& path) {
  const bool chosenForThis = m_bChosen && (m_strChosenFor.isEmpty() || m_strChosenFor == path);
  if (path != previous && !m_pNewDir->text().isEmpty() && !chosenForThis) {
    FieldSetters::SetText(m_pNewDir, CFormOptions::SourceBase(path));
    m_bChosen = false;
  } else if (chosenForThis) {
    m_strChosenFor = path;
  }
}

}  // namespace sekato::ui
