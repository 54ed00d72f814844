#include "creplacerulesdlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStringDecoder>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "appmessagebox.h"
#include "crulecounter.h"
#include "enginemessages.h"
#include "sekato/replacerulecheck.h"

namespace sekato::ui {

namespace {

constexpr int kRecountMs = 400;  // a count starts once the typing has paused this long

QString Cell(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item != nullptr ? item->text() : QString();
}

// The pattern as a rules file line holds it: the first "=>" of a line ends the pattern, and
// a line starting with "#" is a comment, so both are written as PCRE2's escaped characters.
QString FilePattern(QString pattern) {
  pattern.replace(QStringLiteral("=>"), QStringLiteral("=\\>"));
  const qsizetype first = pattern.indexOf(QRegularExpression(QStringLiteral("[^ \\t]")));
  if (first >= 0 && pattern[first] == QLatin1Char('#')) pattern.insert(first, QLatin1Char('\\'));
  return pattern;
}

}  // namespace

CReplaceRulesDlg::Choosers CReplaceRulesDlg::Choosers::Dialogs() {
  const QString filter = tr("规则文件(*.txt);;所有文件(*)");
  Choosers choosers;
  choosers.importFile = [filter](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, tr("导入替换规则"), QString(), filter);
  };
  choosers.exportFile = [filter](QWidget* parent) {
    return QFileDialog::getSaveFileName(parent, tr("导出替换规则"), QStringLiteral("rules.txt"),
                                        filter);
  };
  return choosers;
}

CReplaceRulesDlg::CReplaceRulesDlg(const std::vector<engine::ReplaceRuleText>& rules,
                                   const engine::SplitOptions& book, QWidget* parent)
    : QDialog(parent), m_choosers(Choosers::Dialogs()), m_book(book) {
  setObjectName(QStringLiteral("replaceRulesDialog"));
  setWindowTitle(tr("替换规则"));
  SetUpCounting();
  auto* note = new QLabel(
      tr("每条规则用正则表达式（PCRE2）找出文字，换成“替换为”的内容，$1 或 ${名字} 代表分组；"
         "“替换为”留空即删去找到的文字。规则按顺序，在简繁转换之前用于每一行。"),
      this);
  note->setWordWrap(true);
  // Made in the order the keyboard goes through them.
  MakeTable();
  MakeProblemLine();
  QVBoxLayout* side = MakeSideButtons();
  QDialogButtonBox* buttons = MakeButtonBox();
  auto* middle = new QHBoxLayout;
  middle->addWidget(m_pTable, 1);
  middle->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addLayout(middle, 1);
  layout->addWidget(m_pProblem);
  layout->addWidget(buttons);
  Fill(rules);
  const QFontMetrics metrics = fontMetrics();
  resize(metrics.averageCharWidth() * 100, metrics.height() * 24);
  FitToScreen();
}

void CReplaceRulesDlg::SetUpCounting() {
  m_pCounter = new CRuleCounter(this);
  connect(m_pCounter, &CRuleCounter::Counted, this, &CReplaceRulesDlg::ShowCounts);
  m_recount.setSingleShot(true);
  m_recount.setInterval(kRecountMs);
  connect(&m_recount, &QTimer::timeout, this, [this] {
    std::vector<engine::ReplaceRuleText> counted = Rules();
    if (m_book.sourcePath.empty() || counted.empty() || !m_bValid) return;
    m_book.replaceRules = std::move(counted);
    m_pCounter->Start(m_book);
  });
}

void CReplaceRulesDlg::MakeTable() {
  m_pTable = new QTableWidget(0, 3, this);
  m_pTable->setObjectName(QStringLiteral("ruleTable"));
  m_pTable->setAccessibleName(tr("替换规则"));
  m_pTable->setHorizontalHeaderLabels({tr("查找（正则表达式）"), tr("替换为"), tr("次数")});
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pTable->horizontalHeader()->setSectionResizeMode(kPattern, QHeaderView::Stretch);
  m_pTable->horizontalHeader()->setSectionResizeMode(kReplacement, QHeaderView::Stretch);
  m_pTable->horizontalHeader()->setSectionResizeMode(kCount, QHeaderView::ResizeToContents);
  m_pTable->verticalHeader()->setVisible(true);  // the rule's number, as messages name it
  connect(m_pTable, &QTableWidget::itemChanged, this, [this] {
    if (!m_bFilling) CheckRules();
  });
}

void CReplaceRulesDlg::MakeProblemLine() {
  m_pProblem = new QLabel(this);
  m_pProblem->setObjectName(QStringLiteral("ruleProblem"));
  m_pProblem->setWordWrap(true);
  m_pProblem->setTextFormat(Qt::PlainText);
  QPalette red = m_pProblem->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  m_pProblem->setPalette(red);
}

QPushButton* CReplaceRulesDlg::MakeButton(const QString& text, const char* name) {
  auto* b = new QPushButton(text, this);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

QVBoxLayout* CReplaceRulesDlg::MakeSideButtons() {
  const auto button = [this](const QString& text, const char* name,
                             void (CReplaceRulesDlg::*slot)()) {
    QPushButton* b = MakeButton(text, name);
    connect(b, &QPushButton::clicked, this, slot);
    return b;
  };
  auto* add = button(tr("添加(&A)"), "addRule", &CReplaceRulesDlg::OnAdd);
  m_pRemove = button(tr("删除(&D)"), "removeRule", &CReplaceRulesDlg::OnRemove);
  m_pUp = MakeButton(tr("上移(&U)"), "moveRuleUp");
  connect(m_pUp, &QPushButton::clicked, this, [this] { MoveCurrent(-1); });
  m_pDown = MakeButton(tr("下移(&N)"), "moveRuleDown");
  connect(m_pDown, &QPushButton::clicked, this, [this] { MoveCurrent(1); });
  auto* import = button(tr("导入(&I)…"), "importRules", &CReplaceRulesDlg::OnImport);
  auto* exportButton = button(tr("导出(&E)…"), "exportRules", &CReplaceRulesDlg::OnExport);
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {add, m_pRemove, m_pUp, m_pDown, import, exportButton}) side->addWidget(b);
  side->addStretch();
  return side;
}

QDialogButtonBox* CReplaceRulesDlg::MakeButtonBox() {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_pOk = buttons->button(QDialogButtonBox::Ok);
  m_pOk->setText(tr("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CReplaceRulesDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CReplaceRulesDlg::reject);
  return buttons;
}

void CReplaceRulesDlg::Fill(const std::vector<engine::ReplaceRuleText>& rules) {
  m_bFilling = true;
  for (const engine::ReplaceRuleText& rule : rules) {
    AddRow(QString::fromStdString(rule.pattern), QString::fromStdString(rule.replacement));
  }
  m_bFilling = false;
  CheckRules();
}

CReplaceRulesDlg::~CReplaceRulesDlg() { m_pCounter->Cancel(); }

void CReplaceRulesDlg::AddRow(const QString& pattern, const QString& replacement) {
  const int row = m_pTable->rowCount();
  m_pTable->insertRow(row);
  m_pTable->setItem(row, kPattern, new QTableWidgetItem(pattern));
  m_pTable->setItem(row, kReplacement, new QTableWidgetItem(replacement));
  auto* count = new QTableWidgetItem;
  count->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);  // counted, never typed
  count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_pTable->setItem(row, kCount, count);
}

std::vector<engine::ReplaceRuleText> CReplaceRulesDlg::Rules() const {
  std::vector<engine::ReplaceRuleText> rules;
  for (int row = 0; row < m_pTable->rowCount(); ++row) {
    const QString pattern = Cell(m_pTable, row, kPattern);
    const QString replacement = Cell(m_pTable, row, kReplacement);
    if (pattern.isEmpty() && replacement.isEmpty()) continue;
    engine::ReplaceRuleText rule;
    rule.pattern = pattern.toStdString();
    rule.replacement = replacement.toStdString();
    rule.line = row + 1;
    rules.push_back(std::move(rule));
  }
  return rules;
}

void CReplaceRulesDlg::CheckRules() {
  m_bFilling = true;
  QString first;
  m_countedRows.clear();
  for (int row = 0; row < m_pTable->rowCount(); ++row) {
    QTableWidgetItem* pattern = m_pTable->item(row, kPattern);
    const QString replacement = Cell(m_pTable, row, kReplacement);
    QString problem;
    if (!pattern->text().isEmpty() || !replacement.isEmpty()) {
      engine::ReplaceRuleText rule;
      rule.pattern = pattern->text().toStdString();
      rule.replacement = replacement.toStdString();
      rule.line = row + 1;
      if (const auto refusal = engine::ReplaceRuleCheck::Refusal({rule})) {
        problem = EngineMessages::Text(*refusal);
      } else {
        m_countedRows.push_back(row);
      }
    }
    pattern->setForeground(problem.isEmpty() ? m_pTable->palette().color(QPalette::Text)
                                             : QColor(Qt::red));
    pattern->setToolTip(problem);
    if (first.isEmpty()) first = problem;
    m_pTable->item(row, kCount)->setText(QString());
  }
  m_bValid = first.isEmpty();
  m_pProblem->setText(first);
  m_pProblem->setVisible(!m_bValid);
  m_pOk->setEnabled(m_bValid);
  const bool counting = m_bValid && !m_book.sourcePath.empty() && !m_countedRows.empty();
  for (const int row : m_countedRows) {
    m_pTable->item(row, kCount)->setText(counting ? tr("…") : QString());
  }
  m_bFilling = false;
  m_pCounter->Cancel();
  if (counting) {
    m_recount.start();
  } else {
    m_recount.stop();
  }
  const bool any = m_pTable->rowCount() > 0;
  m_pRemove->setEnabled(any);
  m_pUp->setEnabled(any);
  m_pDown->setEnabled(any);
}

void CReplaceRulesDlg::ShowCounts(const std::vector<std::int64_t>& counts, bool ok) {
  m_bFilling = true;
  for (std::size_t i = 0; i < m_countedRows.size(); ++i) {
    QTableWidgetItem* cell = m_pTable->item(m_countedRows[i], kCount);
    if (cell == nullptr) continue;
    cell->setText(ok && i < counts.size() ? QLocale().toString(static_cast<qlonglong>(counts[i]))
                                          : QString());
  }
  m_bFilling = false;
}

void CReplaceRulesDlg::OnAdd() {
  m_bFilling = true;
  AddRow(QString(), QString());
  m_bFilling = false;
  const int row = m_pTable->rowCount() - 1;
  m_pTable->setCurrentCell(row, kPattern);
  m_pTable->editItem(m_pTable->item(row, kPattern));
  CheckRules();
}

void CReplaceRulesDlg::OnRemove() {
  const int row = m_pTable->currentRow();
  if (row < 0) return;
  m_pTable->removeRow(row);
  CheckRules();
}

void CReplaceRulesDlg::MoveCurrent(int by) {
  const int row = m_pTable->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= m_pTable->rowCount()) return;
  m_bFilling = true;
  for (const int column : {kPattern, kReplacement}) {
    QTableWidgetItem* a = m_pTable->takeItem(row, column);
    QTableWidgetItem* b = m_pTable->takeItem(to, column);
    m_pTable->setItem(row, column, b);
    m_pTable->setItem(to, column, a);
  }
  m_bFilling = false;
  m_pTable->setCurrentCell(to, m_pTable->currentColumn());
  CheckRules();
}

bool CReplaceRulesDlg::Import(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    controls::AppMessageBox::Show(
        this, tr("无法读取规则文件“%1”：%2")
                  .arg(path, EngineMessages::SystemReason(file.errorString().toStdString())));
    return false;
  }
  const QByteArray bytes = file.readAll();
  QStringDecoder utf8(QStringDecoder::Utf8);
  (void)QString(utf8.decode(bytes));
  if (utf8.hasError()) {
    controls::AppMessageBox::Show(this, tr("规则文件“%1”不是 UTF-8 编码的文字。").arg(path));
    return false;
  }
  const std::vector<engine::ReplaceRuleText> rules =
      engine::ParseRulesFile(bytes.toStdString(), QFile::encodeName(path).toStdString());
  if (const auto refusal = engine::ReplaceRuleCheck::Refusal(rules)) {
    controls::AppMessageBox::Show(this, EngineMessages::Text(*refusal));
    return false;
  }
  m_bFilling = true;
  // A row left empty is filled first, so an import into a fresh table has no blank row.
  while (m_pTable->rowCount() > 0 && Cell(m_pTable, m_pTable->rowCount() - 1, kPattern).isEmpty() &&
         Cell(m_pTable, m_pTable->rowCount() - 1, kReplacement).isEmpty()) {
    m_pTable->removeRow(m_pTable->rowCount() - 1);
  }
  for (const engine::ReplaceRuleText& rule : rules) {
    AddRow(QString::fromStdString(rule.pattern), QString::fromStdString(rule.replacement));
  }
  m_bFilling = false;
  CheckRules();
  return true;
}

QString CReplaceRulesDlg::FileText(const std::vector<engine::ReplaceRuleText>& rules) {
  QString text = QStringLiteral(
      "# sekato replacement rules: PATTERN=>REPLACEMENT, or PATTERN alone to delete; UTF-8\n");
  for (const engine::ReplaceRuleText& rule : rules) {
    text += FilePattern(QString::fromStdString(rule.pattern));
    if (!rule.replacement.empty()) {
      text += QStringLiteral("=>") + QString::fromStdString(rule.replacement);
    }
    text += QLatin1Char('\n');
  }
  return text;
}

bool CReplaceRulesDlg::Export(const QString& path) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(FileText(Rules()).toUtf8());
    if (file.commit()) return true;
  }
  controls::AppMessageBox::Show(
      this, tr("无法写出规则文件“%1”：%2")
                .arg(path, EngineMessages::SystemReason(file.errorString().toStdString())));
  return false;
}

void CReplaceRulesDlg::OnImport() {
  const QString path = m_choosers.importFile ? m_choosers.importFile(this) : QString();
  if (!path.isEmpty()) Import(path);
}

void CReplaceRulesDlg::OnExport() {
  const QString path = m_choosers.exportFile ? m_choosers.exportFile(this) : QString();
  if (!path.isEmpty()) Export(path);
}

void CReplaceRulesDlg::accept() {
  CheckRules();
  if (!m_bValid) return;  // the red rule is told under the table
  m_pCounter->Cancel();
  QDialog::accept();
}

void CReplaceRulesDlg::FitToScreen() {
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
  if (screen == nullptr) return;
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const QSize room = screen->availableGeometry().size() - QSize(2 * border, title + 2 * border);
  setMaximumSize(room);
  resize(size().boundedTo(room));
}

}  // namespace sekato::ui
