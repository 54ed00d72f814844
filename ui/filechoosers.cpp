#include "filechoosers.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace sekato::ui {

FileChoosers FileChoosers::Dialogs() {
  FileChoosers choosers;
  choosers.chooseSourceFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(
        parent, QString(), QString(),
        QCoreApplication::translate("FileChoosers", "文本文件(*.txt)"));
  };
  choosers.chooseSourceFiles = [](QWidget* parent) {
    return QFileDialog::getOpenFileNames(
        parent, QString(), QString(),
        QCoreApplication::translate("FileChoosers", "文本文件(*.txt)"));
  };
  choosers.chooseFolder = [](QWidget* parent) {
    return QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("FileChoosers", "选择目录"), QString(),
        QFileDialog::ShowDirsOnly);
  };
  return choosers;
}

}  // namespace sekato::ui
