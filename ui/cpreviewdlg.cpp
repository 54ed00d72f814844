#include "cpreviewdlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "cchapterstrip.h"
#include "cheadinglistmodel.h"
#include "csourcelinesdlg.h"
#include "sekato/chapterscan.h"
#include "sekato/scanreport.h"
#include "tocfile.h"

namespace sekato::ui {

using engine::ScanReport;

CPreviewDlg::CPreviewDlg(const engine::ScanResult& result, QWidget* parent, std::string sourcePath,
                         std::int64_t perFile)
    : QDialog(parent),
      m_pTable(new QTableView(this)),
      m_strSource(std::move(sourcePath)),
      m_nSourceBytes(result.sourceBytes),
      m_nPerFile(std::max<std::int64_t>(perFile, 1)),
      m_sourceEncoding(result.sourceEncoding) {
  setWindowTitle(tr("预览章节"));
  auto* layout = new QVBoxLayout(this);
  auto* summary = new QLabel(QString::fromStdString(ScanReport::Summary(result)), this);
  summary->setObjectName(QStringLiteral("summary"));
  summary->setWordWrap(true);
  layout->addWidget(summary);
  AddHeadings(result, layout);
  AddEditRow(layout);
  AddRunRow(layout);
  AddReport(result, layout);
  AddHints(result, layout);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 560);
  FitToScreen();
}

void CPreviewDlg::AddHeadings(const engine::ScanResult& result, QVBoxLayout* layout) {
  m_pTable->setObjectName(QStringLiteral("headings"));
  m_pModel = new CHeadingListModel(result.headings, ScanReport::MarksByLine(result),
                                   result.textEncoding, m_pTable);
  m_pTable->setModel(m_pModel);
  auto* strip = new CChapterStrip(*m_pModel, this);
  connect(strip, &CChapterStrip::RowClicked, this, [this](int row) {
    m_pTable->selectRow(row);
    m_pTable->scrollTo(m_pModel->index(row, 0));
  });
  layout->addWidget(strip);
  connect(m_pTable, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { ShowLines(index.row()); });
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);  // shift-click: a range
  m_pTable->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  m_pTable->verticalHeader()->hide();
  m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  SizeColumns();
  m_pTable->setMinimumSize(640, 320);
  layout->addWidget(m_pTable, 1);
}

void CPreviewDlg::SizeColumns() {
  // Widths from the font rather than from the rows: a book may have many thousand of them.
  const QFontMetrics metrics = m_pTable->fontMetrics();
  QHeaderView* header = m_pTable->horizontalHeader();
  const auto width = [&](const char* sample) {
    return metrics.horizontalAdvance(QString::fromUtf8(sample)) + 24;
  };
  header->resizeSection(CHeadingListModel::kIndex, width("序号000"));
  header->resizeSection(CHeadingListModel::kLine, width("0000000"));
  header->resizeSection(CHeadingListModel::kSize, width("000.0 MB"));
  header->resizeSection(CHeadingListModel::kFile, width("sanguoyanyi_000.txt"));
  header->setSectionResizeMode(CHeadingListModel::kTitle, QHeaderView::Stretch);
}

QPushButton* CPreviewDlg::AddButton(const char* name, const char* text, QBoxLayout* row) {
  auto* b = new QPushButton(tr(text), this);
  b->setObjectName(QString::fromLatin1(name));
  row->addWidget(b);
  return b;
}

void CPreviewDlg::AddEditRow(QVBoxLayout* layout) {
  // The list's editing, under the table.
  auto* edits = new QHBoxLayout;
  using Check = CHeadingListModel::Check;
  connect(AddButton("insert", QT_TR_NOOP("插入标题…"), edits), &QPushButton::clicked, this,
          &CPreviewDlg::InsertHeading);
  connect(AddButton("checkAll", QT_TR_NOOP("全选"), edits), &QPushButton::clicked, this,
          [this] { m_pModel->SetChecked(SelectedRows(), Check::All); });
  connect(AddButton("checkNone", QT_TR_NOOP("全不选"), edits), &QPushButton::clicked, this,
          [this] { m_pModel->SetChecked(SelectedRows(), Check::None); });
  connect(AddButton("invert", QT_TR_NOOP("反选"), edits), &QPushButton::clicked, this,
          [this] { m_pModel->SetChecked(SelectedRows(), Check::Invert); });
  edits->addStretch(1);
  connect(AddButton("export", QT_TR_NOOP("导出目录…"), edits), &QPushButton::clicked, this, [this] {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("导出目录"), {}, tr("目录 (*.json)"));
    QString error;
    if (!path.isEmpty() && !ExportTo(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  connect(AddButton("import", QT_TR_NOOP("导入目录…"), edits), &QPushButton::clicked, this, [this] {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("导入目录"), {}, tr("目录 (*.json *.txt)"));
    QString error;
    if (!path.isEmpty() && !ImportFrom(path, error)) {
      QMessageBox::warning(this, windowTitle(), error);
    }
  });
  layout->addLayout(edits);
}

void CPreviewDlg::AddRunRow(QVBoxLayout* layout) {
  auto* runs = new QHBoxLayout;
  m_pPieces = new QLabel(this);
  m_pPieces->setObjectName(QStringLiteral("pieces"));
  runs->addWidget(m_pPieces, 1);
  connect(AddButton("splitByList", QT_TR_NOOP("按此目录分割"), runs), &QPushButton::clicked, this,
          [this] { Split(false, false); });
  connect(AddButton("splitSelected", QT_TR_NOOP("只导出选中章节"), runs), &QPushButton::clicked,
          this, [this] { Split(true, false); });
  connect(AddButton("join", QT_TR_NOOP("合并为一个文件"), runs), &QPushButton::clicked, this,
          [this] { Split(true, true); });
  layout->addLayout(runs);
  connect(m_pModel, &CHeadingListModel::ListChanged, this, &CPreviewDlg::UpdatePieces);
  UpdatePieces();
}

void CPreviewDlg::AddReport(const engine::ScanResult& result, QVBoxLayout* layout) {
  // Numbering issues (there can be hundreds) in a box of their own that scrolls.
  QStringList issues;
  for (const auto& issue : result.numbering) {
    issues << QString::fromStdString(ScanReport::Issue(issue));
  }
  if (issues.isEmpty()) return;
  auto* report = new QPlainTextEdit(issues.join(QLatin1Char('\n')), this);
  report->setObjectName(QStringLiteral("report"));
  report->setReadOnly(true);
  report->setMaximumHeight(fontMetrics().height() * 6);
  layout->addWidget(report);
}

void CPreviewDlg::AddHints(const engine::ScanResult& result, QVBoxLayout* layout) {
  const auto hints = ScanReport::Hints(result);
  for (std::size_t i = 0; i < hints.size(); ++i) {
    const auto& hint = hints[i];
    auto* row = new QHBoxLayout;
    auto* text = new QLabel(QString::fromStdString(hint.text), this);
    text->setWordWrap(true);
    row->addWidget(text, 1);
    auto* apply = new QPushButton(tr("应用此设置"), this);
    apply->setObjectName(QStringLiteral("hint%1").arg(i));
    const QString keywords = QString::fromStdString(ScanReport::Utf8(hint.keywords));
    const std::int64_t titleMax = hint.titleMax;
    connect(apply, &QPushButton::clicked, this, [this, keywords, titleMax] {
      emit HintApplied(keywords, titleMax);
      accept();
    });
    row->addWidget(apply);
    layout->addLayout(row);
  }
}

void CPreviewDlg::ShowDetection(const engine::HeadingDetection& detection) {
  if (!detection.found) return;
  auto* box = new QVBoxLayout;
  const auto addRow = [&](const QString& text, const QString& pattern, int index) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    row->addWidget(label, 1);
    auto* use = new QPushButton(tr("使用"), this);
    use->setObjectName(QStringLiteral("rule%1").arg(index));
    use->setAccessibleName(text);
    connect(use, &QPushButton::clicked, this, [this, pattern] {
      emit RuleChosen(pattern);
      accept();
    });
    row->addWidget(use);
    box->addLayout(row);
  };
  addRow(tr("自动识别：%1，%2 %3")
             .arg(QString::fromStdString(detection.chapters.description))
             .arg(detection.chapters.lines)
             .arg(QString::fromStdString(detection.chapters.unit)),
         QString(), 0);
  int index = 1;
  for (const engine::HeadingDetection::Form& form : detection.alternatives) {
    addRow(tr("其次：%1（%2 行），按正则表达式")
               .arg(QString::fromStdString(form.description))
               .arg(form.lines),
           QString::fromStdString(form.pattern), index++);
  }
  // Under the summary, the first row of the dialog.
  if (auto* layout = qobject_cast<QVBoxLayout*>(this->layout())) layout->insertLayout(1, box);
}

std::vector<int> CPreviewDlg::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : m_pTable->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  return rows;
}

void CPreviewDlg::UpdatePieces() {
  const std::int64_t chapters = m_pModel->CheckedCount();
  const std::int64_t pieces = chapters == 0 ? 1 : (chapters + m_nPerFile - 1) / m_nPerFile;
  m_pPieces->setText(tr("%1 章，将写出 %2 个文件").arg(chapters).arg(pieces));
}

void CPreviewDlg::InsertHeading() {
  bool ok = false;
  const QModelIndex current = m_pTable->currentIndex();
  const int start =
      current.isValid()
          ? m_pModel
                ->data(m_pModel->index(current.row(), CHeadingListModel::kLine), Qt::DisplayRole)
                .toInt()
          : 1;
  const int line = QInputDialog::getInt(this, tr("插入标题"), tr("作为章节标题的行号："), start, 1,
                                        std::numeric_limits<int>::max(), 1, &ok);
  int row = 0;
  if (ok && m_pModel->InsertLine(line, row)) m_pTable->selectRow(row);
}

void CPreviewDlg::ShowLines(int row) {
  const std::int64_t first = m_pModel->Line(row);
  const std::optional<QStringList> lines =
      CSourceLinesDlg::ReadLines(m_strSource, m_sourceEncoding, first);
  if (!lines) return;
  CSourceLinesDlg view(*lines, first, this);
  view.exec();
  int inserted = 0;
  if (const std::optional<std::int64_t> line = view.ChosenLine();
      line && m_pModel->InsertLine(*line, inserted)) {
    m_pTable->selectRow(inserted);
  }
}

engine::ChapterList CPreviewDlg::List() const {
  engine::ChapterList list = m_pModel->List();
  list.sourceBytes = m_nSourceBytes;
  return list;
}

void CPreviewDlg::Split(bool selectedOnly, bool join) {
  engine::ChapterSelection chosen;
  if (selectedOnly) {
    QStringList numbers;
    for (const std::int64_t n : m_pModel->ChapterNumbers(SelectedRows())) {
      numbers << QString::number(n);
    }
    if (numbers.isEmpty()) {
      QMessageBox::information(this, windowTitle(), tr("请先在表中选中要导出的章节。"));
      return;
    }
    chosen = engine::ChapterSelection::Parse(numbers.join(QLatin1Char(',')).toStdString())
                 .value_or(engine::ChapterSelection());
  }
  m_bSplit = true;
  emit SplitByList(List(), chosen, join);
  accept();
}

bool CPreviewDlg::ExportTo(const QString& path, QString& error) const {
  QJsonArray headings;
  for (const auto& entry : m_pModel->List().entries) {
    QJsonObject heading{{QStringLiteral("line"), static_cast<qint64>(entry.line)}};
    if (!entry.title.empty()) {
      heading.insert(QStringLiteral("title"), QString::fromStdString(entry.title));
    }
    headings.append(heading);
  }
  QJsonObject root{{QStringLiteral("version"), 2},
                   {QStringLiteral("source"), QString::fromStdString(m_strSource)},
                   {QStringLiteral("status"), QStringLiteral("done")},
                   {QStringLiteral("sourceBytes"), static_cast<qint64>(m_nSourceBytes)},
                   {QStringLiteral("hash"),
                    QString::fromStdString(engine::ChapterScan::SourceHash(m_strSource))},
                   {QStringLiteral("headingCount"), headings.size()},
                   {QStringLiteral("headings"), headings}};
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(QJsonDocument(root).toJson()) < 0 || !file.flush()) {
    error = tr("无法写出目录文件“%1”：%2").arg(path, file.errorString());
    return false;
  }
  return true;
}

bool CPreviewDlg::ImportFrom(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = tr("无法读取目录文件“%1”：%2").arg(path, file.errorString());
    return false;
  }
  const QByteArray bytes = file.readAll();
  // Read as --toc reads it: the same forms, and for JSON the parser's own message with the
  // line and column where it went wrong.
  std::string why;
  const std::optional<engine::ChapterList> read = cli::TocFile::Parse(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), why);
  if (!read) {
    error = tr("目录文件“%1”读不懂：%2").arg(path, QString::fromStdString(why));
    return false;
  }
  const engine::ChapterList& list = *read;
  // As --toc without --force: a list that names another book's size is not this book's.
  if (list.sourceBytes >= 0 && m_nSourceBytes > 0 && list.sourceBytes != m_nSourceBytes) {
    error = tr("目录文件“%1”是为另一本书做的：它记下的源文件大小是 %2 字节，"
               "这个源文件是 %3 字节。")
                .arg(path)
                .arg(list.sourceBytes)
                .arg(m_nSourceBytes);
    return false;
  }
  if (!list.entries.empty() && list.entries.front().line < 1) {
    error = tr("目录第 1 项的行号 %1 不是正整数。").arg(list.entries.front().line);
    return false;
  }
  for (std::size_t i = 1; i < list.entries.size(); ++i) {
    if (list.entries[i].line <= list.entries[i - 1].line) {
      error = tr("目录第 %1 项的行号不大于前一项：行号必须从小到大排列。").arg(i + 1);
      return false;
    }
  }
  m_pModel->SetList(list);
  return true;
}

void CPreviewDlg::reject() {
  if (m_pModel->Edited() && !m_bSplit &&
      QMessageBox::question(this, windowTitle(),
                            tr("保留编辑后的目录，供这个文件下次开始分割时使用？")) ==
          QMessageBox::Yes) {
    emit KeepList(List());
  }
  QDialog::reject();
}

void CPreviewDlg::FitToScreen() {
  // At most the screen's available area, title bar and borders included, so that 关闭 and
  // the hints stay in reach on a small or magnified screen; the table scrolls instead.
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const QSize frame(2 * border, title + 2 * border);
  const QSize room = area.size() - frame;
  m_pTable->setMinimumSize(m_pTable->minimumSize().boundedTo(room / 3));
  setMaximumSize(room);
  resize(size().boundedTo(room));
  // Centred over the screen's area when it shows, whatever its parent's place.
  const QSize outer = size() + frame;
  move(area.topLeft() +
       QPoint((area.width() - outer.width()) / 2, (area.height() - outer.height()) / 2));
}

}  // namespace sekato::ui
