#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace sekato::ui {

/// The two choosers of the form: the source text file and the output folder. Each returns a
/// full path, or an empty string when the user cancels. Tests put their own functions here so
/// that no dialog opens.
struct FileChoosers final {
  using Chooser = std::function<QString(QWidget* parent)>;

  /// Open-file dialog with the one filter "文本文件(*.txt)".
  Chooser chooseSourceFile;
  /// Folder dialog titled "选择目录", folders only.
  Chooser chooseFolder;
  /// Open-files dialog like chooseSourceFile that takes several files (a queue of books);
  /// when set, the form uses it instead of chooseSourceFile.
  std::function<QStringList(QWidget* parent)> chooseSourceFiles;

  /// The desktop's own dialogs, opening in the folders last chosen from (UserSettings).
  static FileChoosers Dialogs();
};

}  // namespace sekato::ui
