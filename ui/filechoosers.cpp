#include "filechoosers.h"

#include <QCoreApplication>
#include <QFileDialog>

#include "usersettings.h"

namespace sekato::ui {

FileChoosers FileChoosers::Dialogs() {
  FileChoosers choosers;
  choosers.chooseSourceFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(
        parent, QString(), UserSettings::SourceFolder(),
        QCoreApplication::translate("FileChoosers", "文本文件(*.txt)"));
  };
  choosers.chooseSourceFiles = [](QWidget* parent) {
    return QFileDialog::getOpenFileNames(
        parent, QString(), UserSettings::SourceFolder(),
        QCoreApplication::translate("FileChoosers", "文本文件(*.txt)"));
  };
  choosers.chooseFolder = [](QWidget* parent) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("FileChoosers", "选择目录"),
        UserSettings::OutputFolder(), QFileDialog::ShowDirsOnly);
    UserSettings::SetOutputFolder(folder);
    return folder;
  };
  return choosers;
}

}  // namespace sekato::ui
