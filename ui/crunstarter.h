#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "sekato/splitoptions.h"

namespace sekato::ui {

class CBookQueue;
class CConvertRow;
class CRunChecks;
class CSplitRunControl;

/// Starts the split the form asks for once the questions before writing are answered: for
/// one book its source, the conversion's fit, its headings and its folder, where a folder
/// chosen instead is asked about in its turn; for a queue the same, asked once for all books.
class CRunStarter final {
 public:
  /// What the starter needs of the form.
  struct Form {
    /// The form's options for a run, or none after telling the user why not.
    std::function<std::optional<engine::SplitOptions>()> takeOptions;
    /// Another folder for the pieces, chosen by the user and made the form's new folder;
    /// empty when the user cancelled.
    std::function<QString()> chooseOtherFolder;
    /// The headings' question was answered with 预览章节.
    std::function<void()> preview;
  };

  CRunStarter(CRunChecks& checks, CConvertRow& convert, CSplitRunControl& run, Form form);

  /// Takes the form's options, lets `prepare` adjust them, and starts the run once the
  /// source (when `askSource`) and the output folder are confirmed. A list from the preview
  /// (`askSource` false) has its headings, so they are not asked about.
  void Start(bool askSource, const std::function<void(engine::SplitOptions&)>& prepare);
  /// Splits the books of `queue` with the form's options: their folders are checked
  /// together, once. Books skipped leave the queue, and `relist` shows it again.
  void StartQueue(CBookQueue& queue, const std::function<void()>& relist);

 private:
  /// The headings' question for `options`: true to go on to the folder.
  bool ConfirmHeadings(const engine::SplitOptions& options);
  /// The folder's question for `options`: true once the run is started or given up; false
  /// with `options` taken afresh when the user chose another folder.
  bool ConfirmFolderAndStart(std::optional<engine::SplitOptions>& options);

  CRunChecks& m_checks;
  CConvertRow& m_convert;
  CSplitRunControl& m_run;
  Form m_form;
};

}  // namespace sekato::ui
