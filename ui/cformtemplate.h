#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace sekato::ui {

class DialogUnits;

/// The splitter form's template: builds every control of the form on a page widget, at its
/// rectangle converted from dialog units through the dialog font, with its caption, its group
/// and its start state. Tab walks it top to bottom.
///
/// Each control with an id carries it as object name ("1015") and as the property "controlId";
/// labels and group boxes have none. Radio buttons are gathered into one exclusive group per
/// run that starts at a group-start button; a button's id inside its group is its index.
class CFormTemplate final {
 public:
  /// The form's controls by what they are for, typed: code that reads or writes a field names
  /// it here, so a wrong field or a wrong kind of control does not compile.
  struct Fields {
    QLineEdit* srcPath;
    QPushButton* browseSource;
    QButtonGroup* dirMode;  ///< 0 new folder, 1 beside the source
    QRadioButton* dirNew;
    QRadioButton* dirBeside;
    QPushButton* browseFolder;
    QLineEdit* newDir;
    QButtonGroup* nameMode;  ///< 0 source title, 1 custom name, 2 chapter titles
    QRadioButton* nameSource;
    QRadioButton* nameCustom;
    QRadioButton* nameChapter;
    QLineEdit* customName;
    QButtonGroup* splitMode;  ///< 0 by chapter, 1 by size, 2 evenly
    QRadioButton* modeChapter;
    QRadioButton* modeSize;
    QRadioButton* modeEven;
    QLineEdit* keywords;
    QLineEdit* titleMax;
    QLineEdit* chaptersPerFile;
    QLineEdit* maxKB;
    QCheckBox* keepLines;
    QLineEdit* parts;
    QCheckBox* trimSpaces;
    QCheckBox* addHead;
    QLineEdit* head;
    QCheckBox* noAd;
    QCheckBox* addTail;
    QLineEdit* tail;
    QProgressBar* progress;
    QComboBox* numerals;
    QComboBox* encoding;     ///< the source's, 自动检测 first
    QComboBox* outEncoding;  ///< the pieces', 同源文件 first
  };

  /// The template's size in dialog units: 290 × 285.
  static QSize SizeInUnits();

  /// Builds the controls on `page` (which becomes their parent) and sizes the page to the form.
  CFormTemplate(QWidget* page, const DialogUnits& units);

  /// The control with dialog id `nIDC`, or null (GetDlgItem).
  QWidget* Item(int nIDC) const;

  /// Every field, typed; built once with the form.
  const Fields& GetFields() const { return m_fields; }

  /// Lays the controls out for a page `pageWidth` wide: past the template's width, the path,
  /// folder, name, head and tail fields, the group boxes and the progress bar widen and the
  /// browse buttons keep to the right edge.
  void Stretch(int pageWidth);

  /// The template's size in pixels.
  QSize PixelSize() const { return m_size; }


 private:
  QHash<int, QWidget*> m_items;
  QHash<int, QButtonGroup*> m_groups;
  QList<QWidget*> m_controls;
  QList<QRect> m_rects;     // each control's rectangle at the template's size
  QList<unsigned> m_flags;  // and how it follows a wider page
  QSize m_size;
  Fields m_fields{};
};

}  // namespace sekato::ui
