#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace sekato::ui {

/// Whether 新目录 follows a newly chosen book. It does, so that the new book's pieces do not
/// land in the last one's folder, unless the user typed or chose the folder for this book
/// (or before choosing any). Example: typed "/mine" for a.txt, then b.txt is chosen: the
/// field becomes "/books/b"; chosen a.txt again instead, "/mine" stays.
class CNewFolderRule final : public QObject {
  Q_OBJECT

 public:
  /// `newDir` is the form's 新目录 field; `source` the chosen source's full path, read when
  /// the user types into the field.
  CNewFolderRule(QLineEdit* newDir, const QString& source);

  /// The user chose `folder` for the book chosen now: it goes into the field and stays.
  void Choose(const QString& folder);
  /// `path` became the source after `previous`: the field follows it unless the folder was
  /// chosen for it.
  void SourceChanged(const QString& previous, const QString& path);

 private:
  QLineEdit* m_pNewDir;
  const QString& m_strSource;
  /// The folder was typed or chosen by the user, for the source m_strChosenFor (empty:
  /// before any source).
  bool m_bChosen = false;
  QString m_strChosenFor;
};

}  // namespace sekato::ui
