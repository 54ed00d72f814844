#include "cformhelptips.h"

#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QLineEdit>
#include <QWidget>

#include "cballoontip.h"
#include "dialogunits.h"
#include "formhelptexts.h"

namespace sekato::ui {

CFormHelpTips::CFormHelpTips(controls::CBalloonTip& tip, QFont& font, QWidget* form,
                             QWidget* viewport)
    : QObject(form), m_tip(tip), m_font(font), m_pForm(form) {
  form->installEventFilter(this);
  Watch(viewport);
}

CFormHelpTips::~CFormHelpTips() {
  // The tip is also a child window of the form. Left as it is, its destruction (with the form
  // half gone) would tell the form a child went away, and this filter would relay that to
  // the tip being destroyed. Unhook it while all is whole.
  m_pForm->removeEventFilter(this);
  m_tip.removeEventFilter(this);
  m_tip.hide();
  m_tip.setParent(nullptr);
}

void CFormHelpTips::Setup(const CFormTemplate::Fields& fields) {
  m_tip.Create(m_pForm);
  m_font = DialogUnits::DialogFont();
  m_tip.SetTextFont(m_font);
  m_tip.AddTool(fields.keywords,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kKeywordsHelp));
  m_tip.AddTool(fields.titleMax,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kTitleSizeHelp));
  m_tip.AddTool(fields.regex,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kRegexHelp));
  m_tip.AddTool(fields.keepLines,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kKeepLinesHelp));
  m_tip.AddTool(fields.encoding,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kEncodingHelp));
  m_tip.AddTool(fields.outEncoding,
                QCoreApplication::translate("FormHelpTexts", FormHelpTexts::kOutEncodingHelp));
}

void CFormHelpTips::Watch(QWidget* root) {
  // Every control reports the pointer moving over it, pressed or not, as the tip needs.
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  for (QWidget* widget : widgets << root) {
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
  }
}

bool CFormHelpTips::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType() && child != &m_tip) Watch(static_cast<QWidget*>(child));
  }
  // Windows of their own (the tip itself, a drop-down list) are not the form's.
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_pForm->window()) {
    return false;
  }
  if (watched == m_pForm &&
      (event->type() == QEvent::Leave || event->type() == QEvent::WindowDeactivate)) {
    m_tip.Pop();
  } else {
    m_tip.RelayEvent(event);
  }
  return false;  // the tip never eats an event
}

}  // namespace sekato::ui
