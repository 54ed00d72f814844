#include "csourcefindings.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "sekato/encodingdetector.h"

namespace sekato::ui {

CSourceFindings::CSourceFindings(const CFormTemplate::Fields& fields, const CSourceLook& look,
                                 const QString& source)
    : m_f(fields), m_look(look), m_strSource(source) {}

void CSourceFindings::ShowEncoding() {
  // A bounded prefix is read: milliseconds, so the window asks on the spot.
  QString text = tr("自动检测");
  std::string error;
  if (const auto found = engine::EncodingDetector::DetectFile(
          QFile::encodeName(m_strSource).toStdString(), error)) {
    const QString name = found->unmarkedUtf16
                             ? tr("UTF-16？")
                             : QString::fromUtf8(engine::Encodings::DisplayName(found->encoding));
    text += tr("（%1）").arg(name);
  }
  m_f.encoding->setItemText(0, text);
}

const CSourceLook::Findings* CSourceFindings::ForSource() const {
  const CSourceLook::Findings* found = m_look.Found();
  const bool forThis =
      found != nullptr && found->source == QFile::encodeName(m_strSource).toStdString();
  return forThis ? found : nullptr;
}

void CSourceFindings::ShowHeadings() {
  const CSourceLook::Findings* found = ForSource();
  const bool detected =
      found != nullptr && found->detection.detected && found->detection.detection.found;
  QString text;
  if (m_look.IsRunning()) {
    text = tr("自动识别：正在查看源文件……");
  } else if (detected) {
    const engine::HeadingDetection& d = found->detection.detection;
    const QString unit = QString::fromStdString(d.chapters.unit);
    text = tr("自动识别：%1，%2 %3（标题最长 %4 字）")
               .arg(QString::fromStdString(d.chapters.description))
               .arg(d.chapters.lines)
               .arg(unit)
               .arg(d.longestTitle);
    if (!d.volumeLines.empty()) {
      text += tr("，%1 %2").arg(d.volumeLines.size()).arg(QString::fromStdString(d.volumes.unit));
    }
  } else if (found != nullptr && found->detection.detected) {
    text = tr("自动识别：没有找到成串编号的标题");
  }
  m_f.detected->setToolTip(text);
  Elide(m_f.detected);
  m_f.detected->setVisible(!text.isEmpty());
  m_f.useDetected->setVisible(detected);
}

void CSourceFindings::Elide(QLabel* line) {
  // The line has the form's width; a long finding is cut short there and told whole in its
  // tooltip.
  line->setText(line->fontMetrics().elidedText(line->toolTip(), Qt::ElideRight, line->width()));
}

}  // namespace sekato::ui
