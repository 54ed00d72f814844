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
  /// UserSettings keeps what the window remembers.
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
  /// the source, and shows the frame once, fitted to the form, where it was last time
  /// (centred the first time), with the remembered options under 记住设置. False when the
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

  /// 查看 → 恢复默认设置: the form as a fresh start shows it, with the same source, and the
  /// remembered options forgotten. Refused with a message while a split runs.
  bool RestoreDefaults();

  /// Chooses `path` from 操作 → 最近打开; a book that has gone away is said so and taken off
  /// the list.
  void OpenRecent(const QString& path);

 private:
  /// Builds the frame and its form afresh; false when the frame cannot be made.
  bool OnFileNew();
  /// Builds the frame and form again (in the language now installed), at the same place
  /// with the same source, given back what the user had put into the form when `keepForm`.
  bool Rebuild(bool keepForm);
  /// True, after telling the user, while a split or preview runs.
  bool RefuseWhileRunning(const QString& why);
  /// Puts the window where it was last time, whole on a screen; centred the first time.
  void PlaceWindow();
  /// Remembers where the window is and, with 记住设置, the form's options.
  void Remember();

  std::unique_ptr<CMainFrame> m_pMainWnd;
};

}  // namespace sekato::ui
