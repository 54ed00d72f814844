#include "ckeptlist.h"

#include <QLabel>
#include <utility>

namespace sekato::ui {

CKeptList::CKeptList(QLabel* note) : m_pField(note) {}

void CKeptList::Keep(const engine::ChapterList& list, std::string source) {
  m_list = list;
  m_strSource = std::move(source);
  // The form's row under the progress bar, with the way back to the rule.
  if (!m_pNote) {
    m_pNote = m_pField;
    m_pNote->setTextFormat(Qt::RichText);
    connect(m_pNote, &QLabel::linkActivated, this, [this] { Drop(); });
  }
  m_pNote->setText(
      tr("按编辑后的目录（%1 章） <a href=\"rule\">改回按规则</a>").arg(list.entries.size()));
  m_pNote->show();
}

void CKeptList::Drop() {
  m_list.reset();
  m_strSource.clear();
  if (m_pNote) m_pNote->hide();
}

void CKeptList::ApplyTo(engine::SplitOptions& options) {
  // A kept list holds while the source is the one it was made for; the run refuses it
  // when the file has changed since.
  if (m_list && options.sourcePath != m_strSource) Drop();
  if (m_list && options.mode == engine::SplitMode::ByChapter) options.toc = m_list;
}

}  // namespace sekato::ui
