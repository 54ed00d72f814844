#include "csourcelinesdlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sekato/scanreport.h"

namespace sekato::ui {

std::optional<QStringList> CSourceLinesDlg::ReadLines(const std::string& sourcePath,
                                                      engine::Encoding encoding,
                                                      std::int64_t first) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(sourcePath)));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // Lines as the list counts them: each ends at a line feed.
  std::int64_t line = 1;
  QStringList shown;
  while (!file.atEnd() && shown.size() < kLines) {
    const QByteArray bytes = file.readLine();
    if (line >= first) {
      const std::string text = engine::ScanReport::Utf8(bytes.trimmed().toStdString(), encoding);
      shown << QStringLiteral("%1\t%2").arg(line).arg(QString::fromStdString(text));
    }
    ++line;
  }
  return shown;
}

CSourceLinesDlg::CSourceLinesDlg(const QStringList& lines, std::int64_t first, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("第 %1 行起").arg(first));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QPlainTextEdit(lines.join(QLatin1Char('\n')), this);
  text->setObjectName(QStringLiteral("lines"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* insert = buttons->addButton(tr("把光标所在行设为标题"), QDialogButtonBox::ActionRole);
  insert->setObjectName(QStringLiteral("insertLine"));
  connect(insert, &QPushButton::clicked, this, [this, text, first] {
    m_chosen = first + text->textCursor().blockNumber();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(560, 420);
}

}  // namespace sekato::ui
