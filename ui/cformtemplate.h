#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>
#include <memory>

#include "resourceids.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
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
/// Each control with an id carries the name ControlName gives it ("keywords") as object name,
/// and its id as the property "controlId"; labels and group boxes have neither, unless a label
/// names a field (its buddy, with a mnemonic). The radio groups are "dirMode", "nameMode" and
/// "splitMode". Radio buttons are gathered into one exclusive group per
/// run that starts at a group-start button; a button's id inside its group is its index.
class CFormTemplate final {
 public:
  /// The form's controls by what they are for, typed, each found by its dialog id: code that
  /// reads or writes a field names it here, so a wrong field or a wrong kind of control does
  /// not compile. Built once with the form, from its controls by id.
  class Fields final {
    const QHash<int, QWidget*>& m_items;  // first: every field below is found in it
    /// The control `nIDC` as what the form uses it for; a template row of another kind is a
    /// fault of the template, found by the first form ever built.
    template <typename T>
    T* At(int nIDC) const;
    QButtonGroup* GroupOf(int nIDC) const;  // the radio group of button `nIDC`

   public:
    explicit Fields(const QHash<int, QWidget*>& items) : m_items(items) {}

    QLineEdit* const srcPath = At<QLineEdit>(IDC_SRCPATH);
    QPushButton* const browseSource = At<QPushButton>(IDC_BROWSE_SRC);
    QRadioButton* const dirNew = At<QRadioButton>(IDC_DIR_NEW);
    QRadioButton* const dirBeside = At<QRadioButton>(IDC_DIR_BESIDE);
    QButtonGroup* const dirMode = GroupOf(IDC_DIR_NEW);  ///< 0 new folder, 1 beside the source
    QPushButton* const browseFolder = At<QPushButton>(IDC_BROWSE_DIR);
    QLineEdit* const newDir = At<QLineEdit>(IDC_NEWDIR);
    QRadioButton* const nameSource = At<QRadioButton>(IDC_NAME_SOURCE);
    QRadioButton* const nameCustom = At<QRadioButton>(IDC_NAME_CUSTOM);
    QRadioButton* const nameChapter = At<QRadioButton>(IDC_NAME_CHAPTER);
    /// 0 source title, 1 custom name, 2 chapter titles
    QButtonGroup* const nameMode = GroupOf(IDC_NAME_SOURCE);
    QLineEdit* const customName = At<QLineEdit>(IDC_CUSTOMNAME);
    QRadioButton* const modeChapter = At<QRadioButton>(IDC_MODE_CHAPTER);
    QRadioButton* const modeSize = At<QRadioButton>(IDC_MODE_SIZE);
    QRadioButton* const modeEven = At<QRadioButton>(IDC_MODE_EVEN);
    QButtonGroup* const splitMode = GroupOf(IDC_MODE_CHAPTER);  ///< 0 chapter, 1 size, 2 even
    QLineEdit* const keywords = At<QLineEdit>(IDC_KEYWORDS);
    QLineEdit* const titleMax = At<QLineEdit>(IDC_TITLEMAX);
    QLineEdit* const chaptersPerFile = At<QLineEdit>(IDC_CHAPTERS_PER_FILE);
    QLineEdit* const maxKB = At<QLineEdit>(IDC_MAXKB);
    QCheckBox* const keepLines = At<QCheckBox>(IDC_KEEPLINES);
    QLineEdit* const parts = At<QLineEdit>(IDC_PARTS);
    QCheckBox* const trimSpaces = At<QCheckBox>(IDC_TRIMSPACES);
    QCheckBox* const addHead = At<QCheckBox>(IDC_ADDHEAD);
    QLineEdit* const head = At<QLineEdit>(IDC_HEAD);
    QCheckBox* const noAd = At<QCheckBox>(IDC_NOAD);
    QCheckBox* const addTail = At<QCheckBox>(IDC_ADDTAIL);
    QLineEdit* const tail = At<QLineEdit>(IDC_TAIL);
    QProgressBar* const progress = At<QProgressBar>(IDC_PROGRESS);
    QComboBox* const numerals = At<QComboBox>(IDC_NUMERALS);
    QLabel* const numeralsLabel = At<QLabel>(IDC_NUMERALS_LABEL);
    /// 0 自动识别, 1 关键字, 2 正则表达式
    QComboBox* const headingRule = At<QComboBox>(IDC_HEADING_RULE);
    QLineEdit* const regex = At<QLineEdit>(IDC_REGEX);
    QComboBox* const encoding = At<QComboBox>(IDC_ENCODING);  ///< the source's, 自动检测 first
    QComboBox* const outEncoding =
        At<QComboBox>(IDC_OUT_ENCODING);                ///< the pieces', 同源文件 first
    QLabel* const detected = At<QLabel>(IDC_DETECTED);  ///< what the source's look found
    QPushButton* const useDetected = At<QPushButton>(IDC_USE_DETECTED);
    QLabel* const keptList = At<QLabel>(IDC_KEPT_LIST);  ///< hidden while no list is kept
    QLabel* const convertLabel = At<QLabel>(IDC_CONVERT_LABEL);
    QComboBox* const convert = At<QComboBox>(IDC_CONVERT);  ///< 不转换 first, then kAll's order
    QPushButton* const replaceRules = At<QPushButton>(IDC_REPLACE_RULES);
    QLabel* const ruleCount = At<QLabel>(IDC_RULE_COUNT);  ///< "3 条规则"
  };

  /// The template's size in dialog units: 290 × 336.
  static QSize SizeInUnits();

  /// Builds the controls on `page` (which becomes their parent) and sizes the page to the form.
  CFormTemplate(QWidget* page, const DialogUnits& units);

  /// Every field, typed.
  const Fields& GetFields() const { return *m_pFields; }

  /// Lays the controls out for a page `pageWidth` wide: past the template's width, the path,
  /// folder, name, head and tail fields, the group boxes and the progress bar widen and the
  /// browse buttons keep to the right edge.
  void Stretch(int pageWidth);

  /// The template's size in pixels.
  QSize PixelSize() const { return m_size; }

 private:
  /// Makes every control of the template on `page`, in its place, named and enabled as the
  /// template says, its radio buttons in their groups; returns the groups.
  QList<QButtonGroup*> PlaceControls(QWidget* page, const DialogUnits& units);
  /// The keyboard's order through the fields, one stop for each group of radio buttons.
  void SetTabOrder(const QList<QButtonGroup*>& groups);
  /// Each label's key goes to the field it names.
  void SetBuddies();
  /// The template measures a Chinese character as two average letters of the font. Where the
  /// font's Chinese glyphs are wider, a label, radio button or check box whose caption would
  /// be cut short widens to hold it, up to the next control on its line, the group box around
  /// it or the page's edge, whichever comes first.
  void GrowCaptions();

  QHash<int, QWidget*> m_items;
  QList<QWidget*> m_controls;
  QList<QRect> m_rects;     // each control's rectangle at the template's size
  QList<unsigned> m_flags;  // and how it follows a wider page
  QSize m_size;
  std::unique_ptr<Fields> m_pFields;
};

}  // namespace sekato::ui
