#include "cformoptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <algorithm>
#include <iterator>

#include "sekato/numberparse.h"
#include "sekato/sourcepath.h"

namespace sekato::ui {

namespace {

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString PathText(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::int64_t Number(const QLineEdit* field) {
  return engine::ParseNumber(field->text().toStdString());
}

// The encoding lists hold Encodings::kAll in order, the automatic choice first.
engine::Encoding Chosen(const QComboBox* combo) {
  const int index = combo->currentIndex();
  return index > 0 && index < static_cast<int>(std::size(engine::Encodings::kAll))
             ? engine::Encodings::kAll[index]
             : engine::Encoding::Auto;
}

}  // namespace

QString CFormOptions::SourceBase(const QString& sourcePath) {
  return PathText(engine::SourcePath::Base(PathBytes(sourcePath)));
}

QString CFormOptions::SourceTitle(const QString& sourcePath) {
  return PathText(engine::SourcePath::Title(PathBytes(sourcePath)));
}

std::int64_t CFormOptions::ChaptersPerPiece() const { return Number(m_f.chaptersPerFile); }

engine::SplitOptions CFormOptions::Read(const QString& sourcePath) const {
  engine::SplitOptions options;
  const std::string source = PathBytes(sourcePath);
  options.sourcePath = source;
  options.sourceBase = engine::SourcePath::Base(source);
  options.sourceTitle = engine::SourcePath::Title(source);
  options.folder = m_f.dirMode->checkedId() == 0 ? engine::FolderChoice::NewFolder
                                                 : engine::FolderChoice::BesideSource;
  options.newFolder = PathBytes(m_f.newDir->text());
  options.naming = static_cast<engine::PieceNaming>(std::clamp(m_f.nameMode->checkedId(), 0, 2));
  options.customName = PathBytes(m_f.customName->text());
  // The radio group holds one of the modes, in their order, whenever a run starts.
  options.mode = static_cast<engine::SplitMode>(std::clamp(m_f.splitMode->checkedId(), 0, 2));
  options.titleMax = Number(m_f.titleMax);
  options.chaptersPerPiece = Number(m_f.chaptersPerFile);
  options.maxKb = Number(m_f.maxKB);
  options.keepLines = m_f.keepLines->isChecked();
  options.parts = Number(m_f.parts);
  options.trimSpaces = m_f.trimSpaces->isChecked();
  options.noPromotion = m_f.noAd->isChecked();
  options.addHead = m_f.addHead->isChecked();
  options.addTail = m_f.addTail->isChecked();

  // Book text stays UTF-8: the run writes it in the pieces' encoding, and refuses text that
  // encoding cannot hold, naming the character, before anything is written.
  options.textEncoding = engine::Encoding::Utf8;
  options.keywords = m_f.keywords->text().toStdString();
  const int rule = m_f.headingRule->currentIndex();
  if (rule == kRuleRegex) options.regex = m_f.regex->text().toStdString();
  options.autoDetect = rule == kRuleAuto;
  options.numerals = engine::Numerals::FromIndex(m_f.numerals->currentIndex());
  options.head = m_f.head->text().toStdString();
  options.tail = m_f.tail->text().toStdString();
  options.encoding = Chosen(m_f.encoding);
  options.outEncoding = Chosen(m_f.outEncoding);
  return options;
}

}  // namespace sekato::ui
