#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "sekato/chapterlist.h"
#include "sekato/splitoptions.h"

class QLabel;

namespace sekato::ui {

/// A chapter list kept from the preview for the next 开始分割 of its book, and the form's note
/// of it under the progress bar, whose link goes back to splitting by the rule.
class CKeptList final : public QObject {
  Q_OBJECT

 public:
  /// `note` is the form's label for the note; it is left alone until a list is kept.
  explicit CKeptList(QLabel* note);

  /// Keeps `list` for the book `source` (file-system bytes) and shows the note.
  void Keep(const engine::ChapterList& list, std::string source);
  /// Splits by the rule again: the list is dropped and the note hidden.
  void Drop();
  /// The kept list into `options` when they split its book by chapter. A list kept for
  /// another book is dropped; the run refuses the list when the book changed since.
  void ApplyTo(engine::SplitOptions& options);

  /// The note (null until a list is kept, hidden when dropped).
  QLabel* Note() const { return m_pNote; }

 private:
  QLabel* m_pField;
  QLabel* m_pNote = nullptr;
  std::optional<engine::ChapterList> m_list;
  std::string m_strSource;
};

}  // namespace sekato::ui
