#pragma once

#include <QHash>
#include <QList>
#include <QSize>

class QButtonGroup;
class QWidget;

namespace sekato::ui {

class DialogUnits;

/// The splitter form's template (form 101): builds every control of the form on a page
/// widget, at its rectangle converted from dialog units through the dialog font, in template
/// order (which is also the tab order), with its caption, its group and its start state.
///
/// Each control with an id carries it as object name ("1015") and as the property "controlId";
/// labels and group boxes have none. Radio buttons are gathered into one exclusive group per
/// run that starts at a group-start button; a button's id inside its group is its index.
class CFormTemplate final {
 public:
  /// The template's size in dialog units: 290 × 285.
  static QSize SizeInUnits();

  /// Builds the controls on `page` (which becomes their parent) and sizes the page to the form.
  CFormTemplate(QWidget* page, const DialogUnits& units);

  /// The control with dialog id `nIDC`, or null (GetDlgItem).
  QWidget* Item(int nIDC) const;

  /// The radio group whose buttons include `nIDC`, or null.
  QButtonGroup* RadioGroup(int nIDC) const;

  /// The template's size in pixels.
  QSize PixelSize() const { return m_size; }

  /// Every control, labels and group boxes included, in template order.
  const QList<QWidget*>& Controls() const { return m_controls; }

 private:
  QHash<int, QWidget*> m_items;
  QHash<int, QButtonGroup*> m_groups;
  QList<QWidget*> m_controls;
  QSize m_size;
};

}  // namespace sekato::ui
