#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>

#include "cformtemplate.h"

class QWidget;

namespace sekato::ui {

/// The form's enabling rules: the fields each choice of folder, name, mode, head and tail
/// opens or closes, the chapter row's fields for its choice of detection, keywords or rule,
/// and the check of a typed rule, which holds Start while the rule would be refused.
///
/// The rules only enable, show and mark fields; what the fields hold stays as typed, since
/// the fields are the form's only state.
class CFormEnabling final : public QObject {
  Q_OBJECT

 public:
  /// `source` is the chosen source's full path, read when 新目录 needs a folder beside it;
  /// `ruleValid` is told after every check of the heading rule whether Start may go.
  CFormEnabling(const CFormTemplate::Fields& fields, const QString& source,
                std::function<void(bool)> ruleValid);

  /// The chapter row's choice: shows the fields of the one chosen (detection has none).
  void OnHeadingRule();
  /// Chooses splitting by chapter, unless it is chosen already, with its fields.
  void ChooseChapterMode();
  /// Enables the fields of split mode `nMode` (0 chapter, 1 size, 2 even), not the others'.
  void EnableModeFields(int nMode);
  /// Checks 新目录 and opens its field and chooser, as choosing a folder does.
  void OpenNewFolder();

 private:
  void ConnectControls();
  void OnDirNew();
  void OnDirBesideSource();
  void OnNameCustom();
  void OnNameAuto();
  void OnModeChapter();
  void OnModeSize();
  void OnModeEven();
  void OnAddHead();
  void OnAddTail();
  /// The switch to size or even, where names by chapter title give way to the source title.
  void OnModeWithoutChapters(int nMode);
  /// Checks the heading rule as it stands in the form: a rule that would be refused is
  /// marked with the reason, and Start waits until it is put right.
  void CheckRule();
  static void EnableItems(std::initializer_list<QWidget*> controls, bool bEnable);

  const CFormTemplate::Fields& m_f;
  const QString& m_strSource;
  std::function<void(bool)> m_ruleValid;
};

}  // namespace sekato::ui
