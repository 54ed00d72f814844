#pragma once

#include <QObject>
#include <QString>

#include "cformtemplate.h"
#include "csourcelook.h"

class QLabel;

namespace sekato::ui {

/// What the form says it found in the chosen source: the encoding detection reads, named on
/// the encoding list's first item, and the line under the chapter row telling what heading
/// detection found, with its 使用 button.
class CSourceFindings final : public QObject {
  Q_OBJECT

 public:
  /// `source` is the chosen source's full path, read each time something is shown.
  CSourceFindings(const CFormTemplate::Fields& fields, const CSourceLook& look,
                  const QString& source);

  /// Names what detection finds in the chosen source on the first encoding item:
  /// "自动检测（UTF-8）"; plain "自动检测" while there is no readable source.
  void ShowEncoding();
  /// The line under the chapter row: what detection found in the chosen source, with 使用.
  void ShowHeadings();
  /// What the look found in the chosen source; null while it has found nothing there yet.
  const CSourceLook::Findings* ForSource() const;

  /// Shows what detection found (kept whole in `line`'s tooltip) within the line's width.
  static void Elide(QLabel* line);

 private:
  const CFormTemplate::Fields& m_f;
  const CSourceLook& m_look;
  const QString& m_strSource;
};

}  // namespace sekato::ui
