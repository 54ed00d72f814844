#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <functional>
#include <vector>

#include "sekato/splitoptions.h"

class QWidget;

namespace sekato::ui {

class CSourceLook;

/// The questions the form asks before a split writes anything: an empty source, a chapter
/// split that would find no heading, and pieces of an earlier split in the output folder
/// (for one book, or once for a whole queue). Each is asked in the program's message box over
/// the form, in the form's words (they are translated with the form's).
class CRunChecks final {
  Q_DECLARE_TR_FUNCTIONS(sekato::ui::CSekatoView)

 public:
  /// Asks over `form`, using `look` (the background look at the chosen source);
  /// `lookChanged` is called when a check cancels the look, so the form can say so.
  CRunChecks(QWidget* form, CSourceLook& look, std::function<void()> lookChanged);

  /// An empty source is split only when the user says so.
  bool ConfirmSource(const engine::SplitOptions& options) const;

  enum class HeadingsAnswer { Go, Preview, Cancel };
  /// Before a chapter split: when the look at the source finds no heading by the form's rule
  /// (waited for, or taken again when the rule has changed since), says so with the
  /// preview's summary and hints, and the user writes anyway, previews or cancels. Other
  /// splits cancel a look still under way.
  HeadingsAnswer ConfirmHeadings(const engine::SplitOptions& options);

  enum class FolderAnswer { Go, Cancel, ChooseOther };
  /// Pieces of an earlier split in the folder are listed, and the user clears them (Go once
  /// they are gone), chooses another folder or cancels. Nothing there: Go.
  FolderAnswer ConfirmFolder(const engine::SplitOptions& options) const;

  /// A queue's folders, checked together before any book is split. Books that would share a
  /// folder are refused, naming both: false.
  bool ConfirmSeparateFolders(const std::vector<engine::SplitOptions>& runs) const;
  /// A queue split by chapter: the books whose headings the form's rule would not find are
  /// listed once, and the user writes them anyway, skips them (they leave `runs` and `books`,
  /// which match one to one) or cancels (false).
  bool ConfirmQueueHeadings(std::vector<engine::SplitOptions>& runs, QStringList& books) const;
  /// Older pieces in any of the queue's folders are asked about once and cleared; false when
  /// the user cancels or they cannot be removed.
  bool ConfirmQueueFolders(const std::vector<engine::SplitOptions>& runs) const;

 private:
  QWidget* m_pForm;
  CSourceLook& m_look;
  std::function<void()> m_lookChanged;
};

}  // namespace sekato::ui
