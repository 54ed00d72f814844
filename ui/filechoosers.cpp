#include "filechoosers.h"

#include <QFileDialog>

namespace sekato::ui {

FileChoosers FileChoosers::Dialogs() {
  FileChoosers choosers;
  choosers.chooseSourceFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QStringLiteral("文本文件(*.txt)"));
  };
  choosers.chooseFolder = [](QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("选择目录"), QString(),
                                             QFileDialog::ShowDirsOnly);
  };
  return choosers;
}

}  // namespace sekato::ui
