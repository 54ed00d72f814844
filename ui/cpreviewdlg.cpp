#include "cpreviewdlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "cheadinglistmodel.h"
#include "sekato/scanreport.h"

namespace sekato::ui {

using engine::ScanReport;

CPreviewDlg::CPreviewDlg(const engine::ScanResult& result, QWidget* parent)
    : QDialog(parent), m_pTable(new QTableView(this)) {
  setWindowTitle(QStringLiteral("预览章节"));
  auto* layout = new QVBoxLayout(this);

  auto* summary = new QLabel(QString::fromStdString(ScanReport::Summary(result)), this);
  summary->setObjectName(QStringLiteral("summary"));
  summary->setWordWrap(true);
  layout->addWidget(summary);

  m_pTable->setObjectName(QStringLiteral("headings"));
  m_pTable->setModel(new CHeadingListModel(result.headings, ScanReport::MarksByLine(result),
                                           result.textEncoding, m_pTable));
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->verticalHeader()->hide();
  m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
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
  m_pTable->setMinimumSize(640, 320);
  layout->addWidget(m_pTable, 1);

  // Numbering issues (there can be hundreds) in a box of their own that scrolls.
  QStringList issues;
  for (const auto& issue : result.numbering) {
    issues << QString::fromStdString(ScanReport::Issue(issue));
  }
  if (!issues.isEmpty()) {
    auto* report = new QPlainTextEdit(issues.join(QLatin1Char('\n')), this);
    report->setObjectName(QStringLiteral("report"));
    report->setReadOnly(true);
    report->setMaximumHeight(fontMetrics().height() * 6);
    layout->addWidget(report);
  }

  const auto hints = ScanReport::Hints(result);
  for (std::size_t i = 0; i < hints.size(); ++i) {
    const auto& hint = hints[i];
    auto* row = new QHBoxLayout;
    auto* text = new QLabel(QString::fromStdString(hint.text), this);
    text->setWordWrap(true);
    row->addWidget(text, 1);
    auto* apply = new QPushButton(QStringLiteral("应用此设置"), this);
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

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 520);
  FitToScreen();
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
