#include "cformtemplate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <string_view>

#include "dialogunits.h"
#include "resourceids.h"

namespace sekato::ui {

namespace {

enum class Kind { Edit, Button, Radio, Check, Group, Label, Progress, Combo };

enum Flags : unsigned {
  kNone = 0,
  kGroupStart = 1,  // first radio button of a group
  kDisabled = 2,    // starts disabled
  kReadOnly = 4,
  kStretch = 8,     // widens with the page
  kMoveRight = 16,  // keeps its distance from the page's right edge
  kHidden = 32,     // shown only when it has something to say
};

struct Row {
  int id;  // 0: no id (labels, group boxes)
  Kind kind;
  const char* caption;  // UTF-8
  int x, y, width, height;
  unsigned flags;
};

// The form in template order. The combo's height includes its dropped-down list.
constexpr Row kRows[] = {
    {IDC_SRCPATH, Kind::Edit, "", 63, 16, 192, 13, kReadOnly | kStretch},
    {IDC_BROWSE_SRC, Kind::Button, "…", 258, 15, 17, 13, kMoveRight},
    {IDC_DIR_NEW, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "新目录:"), 61, 34, 42, 13,
     kGroupStart},
    {IDC_DIR_BESIDE, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "源文件目录+文件名的组合目录"),
     61, 49, 127, 13, kNone},
    {IDC_BROWSE_DIR, Kind::Button, "…", 258, 34, 17, 13, kDisabled | kMoveRight},
    {IDC_NEWDIR, Kind::Edit, "", 103, 34, 152, 13, kDisabled | kStretch},
    {IDC_NAME_SOURCE, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "源文件名+自动序号"), 61, 66,
     85, 13, kGroupStart},
    {IDC_NAME_CUSTOM, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "自定文件名+自动序号:"), 61,
     81, 91, 12, kNone},
    {IDC_NAME_CHAPTER, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "自动序号+章节名"), 61, 96,
     77, 13, kNone},
    {IDC_CUSTOMNAME, Kind::Edit, "", 156, 80, 95, 13, kDisabled | kStretch},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "编码(&E):"), 15, 112, 31, 13, kNone},
    {IDC_ENCODING, Kind::Combo, "", 63, 112, 90, 110, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "输出编码(&U):"), 157, 112, 46, 13, kNone},
    {IDC_OUT_ENCODING, Kind::Combo, "", 203, 112, 72, 110, kNone},
    {IDC_MODE_CHAPTER, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "按章节:"), 15, 150, 43, 13,
     kGroupStart},
    {IDC_MODE_SIZE, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "按大小:"), 15, 195, 41, 13,
     kNone},
    {IDC_MODE_EVEN, Kind::Radio, QT_TRANSLATE_NOOP("CFormTemplate", "平均分配:"), 15, 211, 50, 13,
     kNone},
    {IDC_KEYWORDS, Kind::Edit, "", 107, 149, 41, 13, kNone},
    {IDC_TITLEMAX, Kind::Edit, "", 123, 180, 18, 13, kNone},
    {IDC_CHAPTERS_PER_FILE, Kind::Edit, "", 188, 180, 17, 13, kNone},
    {IDC_MAXKB, Kind::Edit, "", 127, 196, 30, 13, kDisabled},
    {IDC_KEEPLINES, Kind::Check, QT_TRANSLATE_NOOP("CFormTemplate", "不分割行"), 176, 195, 55, 13,
     kDisabled},
    {IDC_PARTS, Kind::Edit, "", 108, 212, 20, 13, kDisabled},
    {IDC_TRIMSPACES, Kind::Check, QT_TRANSLATE_NOOP("CFormTemplate", "去掉多余空格"), 15, 260, 64,
     13, kNone},
    {IDC_ADDHEAD, Kind::Check, QT_TRANSLATE_NOOP("CFormTemplate", "文件首添加字符:"), 91, 260, 73,
     13, kNone},
    {IDC_HEAD, Kind::Edit, "", 165, 260, 107, 13, kDisabled | kStretch},
    {IDC_NOAD, Kind::Check, QT_TRANSLATE_NOOP("CFormTemplate", "去广告"), 15, 246, 235, 13, kNone},
    {IDC_ADDTAIL, Kind::Check, QT_TRANSLATE_NOOP("CFormTemplate", "文件尾添加字符:"), 91, 274, 73,
     13, kNone},
    {IDC_TAIL, Kind::Edit, "", 165, 274, 107, 13, kDisabled | kStretch},
    {0, Kind::Group, QT_TRANSLATE_NOOP("CFormTemplate", "分割设置"), 7, 4, 276, 124, kStretch},
    {0, Kind::Group, QT_TRANSLATE_NOOP("CFormTemplate", "分割方式"), 7, 136, 276, 95, kStretch},
    {IDC_HEADING_RULE, Kind::Combo, "", 65, 149, 40, 40, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "保存目录(&D):"), 15, 35, 45, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "文件名(&N):"), 15, 65, 32, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "章放入同一文件(&C) )"), 207, 180, 70, 13,
     kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "("), 181, 180, 6, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "每个文件最大(&M)"), 65, 195, 60, 13,
     kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "KB"), 159, 195, 14, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "平均分为(&A)"), 65, 211, 42, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "份"), 130, 211, 18, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "章节标题大小(&T)"), 65, 180, 57, 13,
     kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "汉字以内。"), 143, 180, 37, 13, kNone},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "源文件(&F):"), 15, 16, 31, 13, kNone},
    {0, Kind::Group, QT_TRANSLATE_NOOP("CFormTemplate", "其它设置"), 7, 236, 274, 68, kStretch},
    {IDC_PROGRESS, Kind::Progress, "", 56, 307, 217, 13, kStretch},
    {0, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "分割进度:"), 15, 306, 38, 13, kNone},
    {IDC_NUMERALS_LABEL, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", ",替换?的自增符(&I):"),
     152, 149, 64, 13, kNone},
    {IDC_NUMERALS, Kind::Combo, "", 218, 149, 58, 78, kNone},
    // Shown in place of the keywords and their numerals when headings go by a rule.
    {IDC_REGEX, Kind::Edit, "", 107, 149, 169, 13, kNone},
    // Under the progress bar: that the next split goes by a list edited in the preview.
    {IDC_KEPT_LIST, Kind::Label, "", 15, 322, 258, 13, kStretch | kHidden},
    // What the look at a newly chosen source found, and the button that splits by it.
    {IDC_DETECTED, Kind::Label, "", 65, 165, 180, 13, kStretch},
    {IDC_USE_DETECTED, Kind::Button, QT_TRANSLATE_NOOP("CFormTemplate", "使用"), 249, 164, 26, 13,
     kMoveRight},
    // The text's script and the replacement rules, the last line of 其它设置.
    {IDC_CONVERT_LABEL, Kind::Label, QT_TRANSLATE_NOOP("CFormTemplate", "简繁转换(&Z):"), 15, 288,
     52, 13, kNone},
    {IDC_CONVERT, Kind::Combo, "", 69, 288, 100, 120, kNone},
    {IDC_REPLACE_RULES, Kind::Button, QT_TRANSLATE_NOOP("CFormTemplate", "替换规则(&G)…"), 173, 288,
     60, 13, kNone},
    {IDC_RULE_COUNT, Kind::Label, "", 236, 288, 40, 13, kNone},
};

// Labels that name a field: Alt with the label's underlined letter puts the keyboard into
// the field. The letters differ from each other and from the menu bar's (O, V, H).
struct Buddy {
  const char* caption;  // as in kRows
  int field;
};
constexpr Buddy kBuddies[] = {
    {"源文件(&F):", IDC_SRCPATH},        {"保存目录(&D):", IDC_DIR_NEW},
    {"文件名(&N):", IDC_NAME_SOURCE},    {"编码(&E):", IDC_ENCODING},
    {"输出编码(&U):", IDC_OUT_ENCODING}, {",替换?的自增符(&I):", IDC_NUMERALS},
    {"章节标题大小(&T)", IDC_TITLEMAX},  {"章放入同一文件(&C) )", IDC_CHAPTERS_PER_FILE},
    {"每个文件最大(&M)", IDC_MAXKB},     {"平均分为(&A)", IDC_PARTS},
    {"简繁转换(&Z):", IDC_CONVERT},
};

// Tab walks the form top to bottom, left to right; a radio group is one stop (its checked
// button), within which the arrow keys move.
constexpr int kTabOrder[] = {
    IDC_SRCPATH,      IDC_BROWSE_SRC,        IDC_DIR_NEW,       IDC_DIR_BESIDE,   IDC_NEWDIR,
    IDC_BROWSE_DIR,   IDC_NAME_SOURCE,       IDC_NAME_CUSTOM,   IDC_NAME_CHAPTER, IDC_CUSTOMNAME,
    IDC_ENCODING,     IDC_OUT_ENCODING,      IDC_MODE_CHAPTER,  IDC_MODE_SIZE,    IDC_MODE_EVEN,
    IDC_HEADING_RULE, IDC_KEYWORDS,          IDC_REGEX,         IDC_NUMERALS,     IDC_USE_DETECTED,
    IDC_TITLEMAX,     IDC_CHAPTERS_PER_FILE, IDC_MAXKB,         IDC_KEEPLINES,    IDC_PARTS,
    IDC_NOAD,         IDC_TRIMSPACES,        IDC_ADDHEAD,       IDC_HEAD,         IDC_ADDTAIL,
    IDC_TAIL,         IDC_CONVERT,           IDC_REPLACE_RULES,
};

// A radio group is named after the choice it makes, by its first button.
QString GroupName(int firstButton) {
  switch (firstButton) {
    case IDC_DIR_NEW:
      return QStringLiteral("dirMode");
    case IDC_NAME_SOURCE:
      return QStringLiteral("nameMode");
    case IDC_MODE_CHAPTER:
      return QStringLiteral("splitMode");
    default:
      return ControlName(firstButton) + QStringLiteral("Group");
  }
}

// Only the checked button of a group (the first while none is) is a Tab stop.
void KeepOneTabStop(const QButtonGroup* group) {
  const QList<QAbstractButton*> buttons = group->buttons();
  const QAbstractButton* stop = group->checkedButton() ? group->checkedButton() : buttons.value(0);
  for (QAbstractButton* button : buttons) {
    button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

constexpr int kClosedComboHeight = 13;  // the combo's selection field, like its neighbours

QWidget* MakeControl(const Row& row, QWidget* page) {
  const QString caption = QCoreApplication::translate("CFormTemplate", row.caption);
  switch (row.kind) {
    case Kind::Edit: {
      auto* edit = new QLineEdit(page);
      if ((row.flags & kReadOnly) != 0) {
        // Filled by the chooser only: it looks like a field that cannot be typed into.
        edit->setReadOnly(true);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        edit->setPalette(palette);
      }
      return edit;
    }
    case Kind::Button: {
      auto* button = new QPushButton(caption, page);
      button->setAutoDefault(false);
      return button;
    }
    case Kind::Radio:
      return new QRadioButton(caption, page);
    case Kind::Check:
      return new QCheckBox(caption, page);
    case Kind::Group: {
      auto* group = new QGroupBox(caption, page);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case Kind::Label: {
      auto* label = new QLabel(caption, page);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case Kind::Progress: {
      auto* bar = new QProgressBar(page);  // 0 to 100, with the percentage
      bar->setValue(0);
      bar->setAlignment(Qt::AlignCenter);
      return bar;
    }
    case Kind::Combo:
      return new QComboBox(page);  // a list to choose from, nothing typed
  }
  return nullptr;
}

// The width `control` needs to show its whole caption; 0 for controls that show none beside
// their box (fields, push buttons, group boxes).
int CaptionWidth(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    QString shown = label->text();
    if (shown.isEmpty()) return 0;
    // A label naming a field shows its mnemonic's letter underlined, without the '&'.
    if (const qsizetype mark = shown.indexOf(QLatin1Char('&')); mark >= 0 && label->buddy()) {
      shown.remove(mark, 1);
    }
    return label->fontMetrics().horizontalAdvance(shown) + label->width() -
           label->contentsRect().width();
  }
  const auto* button = qobject_cast<const QAbstractButton*>(control);
  if (button == nullptr || qobject_cast<const QPushButton*>(button) != nullptr) return 0;
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const QStyle::SubElement contents = qobject_cast<const QRadioButton*>(button) != nullptr
                                          ? QStyle::SE_RadioButtonContents
                                          : QStyle::SE_CheckBoxContents;
  const QRect room = button->style()->subElementRect(contents, &option, button);
  return button->fontMetrics().horizontalAdvance(button->text()) + button->width() - room.width();
}

}  // namespace

template <typename T>
T* CFormTemplate::Fields::At(int nIDC) const {
  T* control = qobject_cast<T*>(m_items.value(nIDC, nullptr));
  if (control == nullptr) qFatal("form control %d is missing or of another kind", nIDC);
  return control;
}

QButtonGroup* CFormTemplate::Fields::GroupOf(int nIDC) const {
  return At<QRadioButton>(nIDC)->group();
}

QSize CFormTemplate::SizeInUnits() { return QSize(290, 336); }

CFormTemplate::CFormTemplate(QWidget* page, const DialogUnits& units) {
  m_size = units.Size(SizeInUnits().width(), SizeInUnits().height());
  page->setMinimumSize(m_size);
  page->resize(m_size);
  const QList<QButtonGroup*> groups = PlaceControls(page, units);
  SetTabOrder(groups);
  SetBuddies();
  GrowCaptions();
  m_pFields = std::make_unique<Fields>(m_items);
  // Group boxes are drawn beneath the controls they frame and never take their clicks.
  for (QWidget* control : std::as_const(m_controls)) {
    if (qobject_cast<QGroupBox*>(control) != nullptr) control->lower();
  }
}

QList<QButtonGroup*> CFormTemplate::PlaceControls(QWidget* page, const DialogUnits& units) {
  QList<QButtonGroup*> groups;
  for (const Row& row : kRows) {
    QWidget* control = MakeControl(row, page);
    const int height = row.kind == Kind::Combo ? kClosedComboHeight : row.height;
    control->setGeometry(units.Rect(row.x, row.y, row.width, height));
    m_rects.append(control->geometry());
    m_flags.append(row.flags);
    control->setEnabled((row.flags & kDisabled) == 0);
    if ((row.flags & kHidden) != 0) control->hide();
    if (row.id != 0) {
      // Tests, tools and the language switch find the control by this name.
      const QString name = ControlName(row.id);
      if (name.isEmpty()) qFatal("form control %d has no object name", row.id);
      control->setObjectName(name);
      control->setProperty("controlId", row.id);
      m_items.insert(row.id, control);
    }
    if (row.kind == Kind::Radio) {
      if ((row.flags & kGroupStart) != 0 || groups.isEmpty()) {
        groups.append(new QButtonGroup(page));
        groups.last()->setExclusive(true);
        groups.last()->setObjectName(GroupName(row.id));
      }
      const auto index = static_cast<int>(groups.last()->buttons().size());
      groups.last()->addButton(static_cast<QRadioButton*>(control), index);
    }
    m_controls.append(control);
  }
  return groups;
}

void CFormTemplate::SetTabOrder(const QList<QButtonGroup*>& groups) {
  QWidget* previous = nullptr;
  for (int nIDC : kTabOrder) {
    if (previous != nullptr) QWidget::setTabOrder(previous, m_items.value(nIDC));
    previous = m_items.value(nIDC);
  }
  for (QButtonGroup* radios : groups) {
    KeepOneTabStop(radios);
    QObject::connect(radios, &QButtonGroup::buttonToggled, radios,
                     [radios] { KeepOneTabStop(radios); });
  }
}

void CFormTemplate::SetBuddies() {
  for (qsizetype i = 0; i < m_controls.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(m_controls[i]);
    if (label == nullptr) continue;
    for (const Buddy& buddy : kBuddies) {
      if (std::string_view(buddy.caption) == kRows[i].caption) {
        label->setBuddy(m_items.value(buddy.field));
      }
    }
  }
}

void CFormTemplate::GrowCaptions() {
  for (qsizetype i = 0; i < m_controls.size(); ++i) {
    QRect& rect = m_rects[i];
    const int needed = CaptionWidth(m_controls[i]);
    if (needed <= rect.width()) continue;
    int limit = m_size.width();
    for (qsizetype j = 0; j < m_controls.size(); ++j) {
      const QRect other = m_rects[j];
      if (j == i || other.top() > rect.bottom() || other.bottom() < rect.top()) continue;
      if (qobject_cast<const QGroupBox*>(m_controls[j]) != nullptr) {
        if (other.contains(rect)) limit = std::min(limit, other.right());
      } else if (other.left() > rect.left()) {
        limit = std::min(limit, other.left());
      }
    }
    rect.setWidth(std::max(rect.width(), std::min(needed, limit - rect.left())));
    m_controls[i]->setGeometry(rect);
  }
}

void CFormTemplate::Stretch(int pageWidth) {
  const int extra = std::max(0, pageWidth - m_size.width());
  for (qsizetype i = 0; i < m_controls.size(); ++i) {
    QRect rect = m_rects[i];
    if ((m_flags[i] & kStretch) != 0) rect.setWidth(rect.width() + extra);
    if ((m_flags[i] & kMoveRight) != 0) rect.translate(extra, 0);
    m_controls[i]->setGeometry(rect);
  }
}

}  // namespace sekato::ui
