#pragma once

#include <QObject>

#include "cformtemplate.h"

class QFont;
class QWidget;

namespace sekato::controls {
class CBalloonTip;
}

namespace sekato::ui {

/// The form's side of its help tips: sets up the tip over the keywords, title size,
/// keep-lines and encoding fields, and hands the tip every event of the form and its controls (also
/// of controls added later) before they see it.
///
/// The tip goes down when the pointer leaves the form or the window loses the keyboard to
/// another (a message box, a dialog), so it never stands over them.
class CFormHelpTips final : public QObject {
  Q_OBJECT

 public:
  /// `tip` and `font` are the form's; `form` is the form itself (its viewport and page).
  CFormHelpTips(controls::CBalloonTip& tip, QFont& font, QWidget* form, QWidget* viewport);
  ~CFormHelpTips() override;

  /// Makes the tip's window, gives it the font and registers the fields that explain
  /// themselves with their help texts.
  void Setup(const CFormTemplate::Fields& fields);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QWidget* root);

  controls::CBalloonTip& m_tip;
  QFont& m_font;
  QWidget* m_pForm;
};

}  // namespace sekato::ui
