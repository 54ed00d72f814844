#pragma once

#include <QColor>
#include <QObject>
#include <QStringList>
#include <memory>

#include "uilanguage.h"

namespace sekato::ui {

class CMainFrame;
class CSekatoView;

/// The application: its identity, the frame with its form, the command line and the About
/// command. Constructed once, after the QApplication.
class CSekatoApp final : public QObject {
  Q_OBJECT

 public:
  CSekatoApp();
  ~CSekatoApp() override;

  /// Name "sekato", the project's version (e.g. "1.1.0"), and the profile location
  /// (organisation "Local AppWizard-Generated Applications", application "sekato"), where
  /// nothing is written.
  static void SetIdentity();

  /// Makes Qt's own texts (standard buttons, file and folder dialogs) Chinese like the
  /// window's, whatever the desktop's language: installs Qt's qtbase_zh_CN translation from
  /// Qt's translations folder once, and makes Chinese (China) the default locale. False when
  /// the translation is not installed (Debian package qt6-translations-l10n); Qt's texts then
  /// stay English.
  /// Example: afterwards a message box's OK button reads "确定".
  static bool UseChineseQtTexts();

  /// Colours of every dialog and message box of the program.
  static void SetDialogBkColor(const QColor& background, const QColor& text);

  /// Starts the program: builds the frame and the form, chooses a text file
  /// named on the command line (`arguments` as QCoreApplication::arguments gives them) as
  /// the source, and shows the frame once, centred and fitted to the form. False when the
  /// frame cannot be built; the program then ends.
  /// Example: {"sekato", "/books/novel.txt"} starts with /books/novel.txt chosen.
  bool InitInstance(const QStringList& arguments);

  CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
  CSekatoView* View() const;

  void OnAppAbout();

  /// Speaks `language` from now on, and remembers it: the window is built again in it, at
  /// the same place, with the same source and what the user had put into the form. Refused
  /// with a message while a split runs. False when it was refused.
  bool ChangeLanguage(UiLanguage::Language language);

 private:
  /// Builds the frame and its form afresh; false when the frame cannot be made.
  bool OnFileNew();

  std::unique_ptr<CMainFrame> m_pMainWnd;
};

}  // namespace sekato::ui
