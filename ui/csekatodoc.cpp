#include "csekatodoc.h"

namespace sekato::ui {

CSekatoDoc::CSekatoDoc(QObject* parent) : QObject(parent) {}

bool CSekatoDoc::OnNewDocument() { return true; }

}  // namespace sekato::ui
