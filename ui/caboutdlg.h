#pragma once

#include <QDialog>
#include <QString>

#include "cmarkupstatic.h"

namespace sekato::ui {

/// The About box: the program's name and version, the date of its last update, its picture
/// and a link to the forum drawn by the markup label. OK, Esc and the close box all end it,
/// and nothing it does outlives it: each showing starts with an unvisited link.
///
/// Run it with exec(); its result means nothing.
class CAboutDlg final : public QDialog {
  Q_OBJECT

 public:
  /// Builds the box at its fixed size of 253 × 130 dialog units in the dialog font.
  explicit CAboutDlg(QWidget* parent = nullptr);
  ~CAboutDlg() override;

  /// The link label's markup: one link to the forum around its name.
  static QString LinkMarkup();

 private:
  /// Lays out the box's controls as its dialog template places them.
  void CreateControls();
  /// Binds m_link to control 1023, which turns that static's text into live markup.
  void DoDataExchange();

  controls::CMarkupStatic m_link;
};

}  // namespace sekato::ui
