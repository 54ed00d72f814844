#pragma once

#include <QString>

class QComboBox;

namespace sekato::ui {

class CFormTemplate;

/// One exchange between a form's controls and the members they stand for, in one direction:
/// in (`m_bSaveAndValidate` true: controls → members) or out (members → controls). The
/// DDX_ functions below each move one value; nothing is validated, so an exchange never fails.
class CDataExchange final {
 public:
  CDataExchange(const CFormTemplate& form, bool bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_form(form) {}

  const bool m_bSaveAndValidate;

  const CFormTemplate& Form() const { return m_form; }

 private:
  const CFormTemplate& m_form;
};

/// Binds `rControl` to the combo box `nIDC` (both directions do the same).
void DDX_Control(CDataExchange* pDX, int nIDC, QComboBox*& rControl);

/// The text of edit `nIDC`.
void DDX_Text(CDataExchange* pDX, int nIDC, QString& value);

/// Check box `nIDC`: checked ⇔ true.
void DDX_Check(CDataExchange* pDX, int nIDC, bool& value);

/// The radio group that starts at `nIDC`, as the index of its checked button in template
/// order, −1 when none is checked. Out, −1 unchecks every button of the group and an index
/// past the group's end does the same.
/// Example: group 1007, 1008, 1010 with 1010 checked exchanges in as 2.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

}  // namespace sekato::ui
