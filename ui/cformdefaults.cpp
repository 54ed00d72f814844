#include "cformdefaults.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "cformoptions.h"
#include "sekato/encoding.h"

namespace sekato::ui {

void CFormDefaults::Fill(const CFormTemplate::Fields& f) {
  f.nameMode->button(0)->setChecked(true);
  f.dirMode->button(1)->setChecked(true);
  f.splitMode->button(0)->setChecked(true);
  f.chaptersPerFile->setText(QStringLiteral("1"));
  f.titleMax->setText(QStringLiteral("20"));
  f.maxKB->setText(QStringLiteral("1000"));
  f.parts->setText(QStringLiteral("5"));
  f.keywords->setText(QStringLiteral("第  章"));
  f.headingRule->clear();
  f.headingRule->addItem(tr("自动识别"));
  f.headingRule->addItem(tr("关键字"));
  f.headingRule->addItem(tr("正则表达式"));
  // The closed box is as narrow as the label it replaces; the list shows the names whole.
  f.headingRule->view()->setMinimumWidth(
      f.headingRule->fontMetrics().horizontalAdvance(tr("正则表达式")) +
      f.headingRule->fontMetrics().height() * 2);
  // What scripts and habits expect: the keywords 第  章.
  f.headingRule->setCurrentIndex(CFormOptions::kRuleKeywords);

  // The numeral series; none is selected.
  f.numerals->clear();
  f.numerals->addItem(QStringLiteral("1,2,3..."));
  f.numerals->addItem(tr("１,２，３..."));
  f.numerals->addItem(tr("一,二,三..."));
  f.numerals->setCurrentIndex(-1);

  // The encodings, in the engine's order so an index is an Encoding: detect the source and
  // write the pieces in its encoding unless the user says otherwise.
  f.encoding->clear();
  f.outEncoding->clear();
  for (const engine::Encoding encoding : engine::Encodings::kAll) {
    const QString name = QString::fromUtf8(engine::Encodings::DisplayName(encoding));
    f.encoding->addItem(encoding == engine::Encoding::Auto ? tr("自动检测") : name);
    f.outEncoding->addItem(encoding == engine::Encoding::Auto ? tr("同源文件") : name);
  }
  f.encoding->setCurrentIndex(0);
  f.outEncoding->setCurrentIndex(0);
}

void CFormDefaults::NameControls(const CFormTemplate::Fields& f) {
  // What a screen reader says for each input: its caption, and for the two "…" buttons
  // what they choose.
  const std::pair<QWidget*, QString> names[] = {
      {f.srcPath, tr("源文件")},
      {f.browseSource, tr("选择源文件")},
      {f.newDir, tr("新目录")},
      {f.browseFolder, tr("选择保存目录")},
      {f.customName, tr("自定义文件名")},
      {f.headingRule, tr("章节标题的找法")},
      {f.keywords, tr("关键字")},
      {f.regex, tr("正则表达式")},
      {f.numerals, tr("替换?的自增符")},
      {f.titleMax, tr("章节标题大小")},
      {f.chaptersPerFile, tr("每个文件放入的章数")},
      {f.maxKB, tr("每个文件最大（KB）")},
      {f.parts, tr("平均分配的份数")},
      {f.head, tr("文件首添加字符")},
      {f.tail, tr("文件尾添加字符")},
      {f.encoding, tr("源文件编码")},
      {f.outEncoding, tr("输出编码")},
      {f.progress, tr("分割进度")},
      {f.detected, tr("自动识别的结果")},
      {f.useDetected, tr("使用自动识别的标题")},
  };
  for (const auto& [control, name] : names) control->setAccessibleName(name);
  f.browseSource->setToolTip(tr("选择源文件"));
  f.browseFolder->setToolTip(tr("选择保存目录"));
}

}  // namespace sekato::ui
