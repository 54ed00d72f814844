#pragma once

#include <QString>
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

  /// The desktop's own dialogs.
  static FileChoosers Dialogs();
};

}  // namespace sekato::ui
