#include "cconvertrow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <algorithm>

#include "appmessagebox.h"
#include "creplacerulesdlg.h"
#include "sekato/conversionfit.h"
#include "sekato/encodingdetector.h"

namespace sekato::ui {

namespace {

const QString kRulesKey = QStringLiteral("replaceRules");

// The encoding the pieces of `options` are written in: the chosen one, else the source's
// (chosen, else detected from the file's start); Auto while neither is known.
engine::Encoding PiecesEncoding(const engine::SplitOptions& options) {
  if (options.outEncoding != engine::Encoding::Auto) return options.outEncoding;
  if (options.encoding != engine::Encoding::Auto) return options.encoding;
  std::string error;
  const auto found = engine::EncodingDetector::DetectFile(options.sourcePath, error);
  return found && !found->unmarkedUtf16 ? found->encoding : engine::Encoding::Auto;
}

}  // namespace

CConvertRow::CConvertRow(const CFormTemplate::Fields& fields,
                         std::function<engine::SplitOptions()> book, QWidget* form)
    : QObject(form), m_f(fields), m_book(std::move(book)), m_pForm(form) {
  m_f.convert->setAccessibleName(tr("简繁转换"));
  m_f.replaceRules->setAccessibleName(tr("编辑替换规则"));
  m_f.ruleCount->setAccessibleName(tr("替换规则的条数"));
  const QString help =
      tr("按 OpenCC 的词典把全文转换成另一种字形。替换规则先用于原文，再做转换；"
         "章节标题在转换之后查找，关键字要按转换后的字形书写。");
  m_f.convert->setToolTip(help);
  m_f.convertLabel->setToolTip(help);
  m_f.replaceRules->setToolTip(
      tr("用正则表达式删去或改写每一行里的文字，例如网站加的“本章未完，请点击下一页”。"));

  // In the engine's order, so that index i (past 不转换) is ScriptConversions::kAll[i - 1].
  const QString names[] = {tr("简体→繁体"),
                           tr("繁体→简体"),
                           tr("简体→台湾正体"),
                           tr("台湾正体→简体"),
                           tr("简体→香港繁体"),
                           tr("香港繁体→简体"),
                           tr("简体→台湾正体（含用语）"),
                           tr("台湾正体（含用语）→简体")};
  static_assert(std::size(engine::ScriptConversions::kAll) == 8);
  m_f.convert->addItem(tr("不转换"));
  for (const QString& name : names) m_f.convert->addItem(name);
  m_f.convert->setCurrentIndex(0);
  // The closed box is as wide as the form gives it; the list shows every name whole.
  int widest = 0;
  for (int i = 0; i < m_f.convert->count(); ++i) {
    widest =
        std::max(widest, m_f.convert->fontMetrics().horizontalAdvance(m_f.convert->itemText(i)));
  }
  m_f.convert->view()->setMinimumWidth(widest + m_f.convert->fontMetrics().height() * 2);

  connect(m_f.replaceRules, &QPushButton::clicked, this, &CConvertRow::OpenEditor);
  m_rules = LoadRules();
  ShowCount();
}

CConvertRow::~CConvertRow() = default;

void CConvertRow::ApplyTo(engine::SplitOptions& options) const {
  const int index = m_f.convert->currentIndex();
  const auto& all = engine::ScriptConversions::kAll;
  options.convert = index > 0 && index <= static_cast<int>(std::size(all))
                        ? all[static_cast<std::size_t>(index - 1)]
                        : engine::ScriptConversion::None;
  options.replaceRules = m_rules;
}

void CConvertRow::SetRules(std::vector<engine::ReplaceRuleText> rules) {
  for (std::size_t i = 0; i < rules.size(); ++i) {
    rules[i].line = static_cast<std::int64_t>(i + 1);
    rules[i].file.clear();
  }
  m_rules = std::move(rules);
  QSettings settings;
  settings.beginWriteArray(kRulesKey, static_cast<int>(m_rules.size()));
  for (std::size_t i = 0; i < m_rules.size(); ++i) {
    settings.setArrayIndex(static_cast<int>(i));
    settings.setValue(QStringLiteral("pattern"), QString::fromStdString(m_rules[i].pattern));
    settings.setValue(QStringLiteral("replacement"),
                      QString::fromStdString(m_rules[i].replacement));
  }
  settings.endArray();
  ShowCount();
  emit RulesChanged();
}

std::vector<engine::ReplaceRuleText> CConvertRow::LoadRules() {
  QSettings settings;
  std::vector<engine::ReplaceRuleText> rules;
  const int count = settings.beginReadArray(kRulesKey);
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    engine::ReplaceRuleText rule;
    rule.pattern = settings.value(QStringLiteral("pattern")).toString().toStdString();
    rule.replacement = settings.value(QStringLiteral("replacement")).toString().toStdString();
    if (rule.pattern.empty()) continue;  // no rule; a hand-edited file may hold one
    rule.line = static_cast<std::int64_t>(rules.size() + 1);
    rules.push_back(std::move(rule));
  }
  settings.endArray();
  return rules;
}

void CConvertRow::ShowCount() {
  m_f.ruleCount->setText(
      m_rules.empty() ? tr("无规则") : tr("%n 条规则", nullptr, static_cast<int>(m_rules.size())));
}

CReplaceRulesDlg* CConvertRow::Editor() const { return m_pEditor.data(); }

void CConvertRow::OpenEditor() {
  if (m_pEditor) {
    m_pEditor->raise();
    m_pEditor->activateWindow();
    return;
  }
  m_pEditor = new CReplaceRulesDlg(m_rules, m_book ? m_book() : engine::SplitOptions(), m_pForm);
  m_pEditor->setAttribute(Qt::WA_DeleteOnClose);
  connect(m_pEditor, &QDialog::accepted, this, [this] {
    if (m_pEditor) SetRules(m_pEditor->Rules());
  });
  m_pEditor->open();
}

bool CConvertRow::ConfirmFit(engine::SplitOptions& options) {
  std::vector<engine::SplitOptions> runs{options};
  if (!ConfirmFit(runs)) return false;
  options.outEncoding = runs.front().outEncoding;
  return true;
}

bool CConvertRow::ConfirmFit(std::vector<engine::SplitOptions>& runs) {
  const engine::SplitOptions* misfit = nullptr;
  engine::Encoding encoding = engine::Encoding::Auto;
  for (const engine::SplitOptions& run : runs) {
    if (run.convert == engine::ScriptConversion::None) continue;
    encoding = PiecesEncoding(run);
    if (!engine::ConversionFit::Fits(run.convert, encoding)) {
      misfit = &run;
      break;
    }
  }
  if (misfit == nullptr) return true;
  const QString script =
      engine::ScriptConversions::ToSimplified(misfit->convert) ? tr("简体字") : tr("繁体字");
  const QString text = tr("“%1”写出的是%2，%3 编码容纳不下，分割会在第一个写不出的字处停下。"
                          "改用 UTF-8 输出，所有的字都能写出。")
                           .arg(m_f.convert->currentText(), script,
                                QString::fromUtf8(engine::Encodings::DisplayName(encoding)));
  const int chosen =
      controls::AppMessageBox::Ask(m_pForm, text, {tr("改用 UTF-8"), tr("仍然继续"), tr("取消")});
  if (chosen == 2) return false;
  if (chosen == 0) {
    const auto& all = engine::Encodings::kAll;
    const auto utf8 = std::find(std::begin(all), std::end(all), engine::Encoding::Utf8);
    m_f.outEncoding->setCurrentIndex(static_cast<int>(utf8 - std::begin(all)));
    for (engine::SplitOptions& run : runs) run.outEncoding = engine::Encoding::Utf8;
  }
  return true;
}

}  // namespace sekato::ui
