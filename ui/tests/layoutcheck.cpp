#include "layoutcheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace sekato::ui::test {

namespace {

QString RectText(const QRect& r) {
  return QStringLiteral("(%1,%2 %3×%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The room a control gives its text, or an empty rectangle for controls without text.
QRect TextRoom(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    return label->text().isEmpty() || label->wordWrap() ? QRect() : label->contentsRect();
  }
  const auto* button = qobject_cast<const QAbstractButton*>(control);
  if (button == nullptr || button->text().isEmpty()) return QRect();
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QRadioButton*>(button) != nullptr) {
    contents = QStyle::SE_RadioButtonContents;
  } else if (qobject_cast<const QCheckBox*>(button) != nullptr) {
    contents = QStyle::SE_CheckBoxContents;
  }
  return button->style()->subElementRect(contents, &option, button);
}

// The text as drawn: a label naming a field shows its mnemonic without the '&'.
QString TextOf(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    QString shown = label->text();
    if (const qsizetype mark = shown.indexOf(QLatin1Char('&')); mark >= 0 && label->buddy()) {
      shown.remove(mark, 1);
    }
    return shown;
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  return {};
}

}  // namespace

QString Describe(const QWidget* control) {
  if (!control->objectName().isEmpty()) return control->objectName();
  const QString text = TextOf(control);
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  return text.isEmpty() ? QString::fromLatin1(control->metaObject()->className()) : text;
}

QStringList LayoutFaults(const QWidget* root) {
  QList<const QWidget*> controls;
  for (const QWidget* child : root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(root) && !child->isWindow()) controls.append(child);
  }

  QStringList faults;
  for (qsizetype i = 0; i < controls.size(); ++i) {
    const QWidget* a = controls[i];
    if (!root->rect().contains(a->geometry())) {
      faults << QStringLiteral("%1 %2 is not inside %3")
                    .arg(Describe(a), RectText(a->geometry()), RectText(root->rect()));
    }
    for (qsizetype j = i + 1; j < controls.size(); ++j) {
      const QWidget* b = controls[j];
      if (!a->geometry().intersects(b->geometry())) continue;
      const bool aHoldsB =
          qobject_cast<const QGroupBox*>(a) && a->geometry().contains(b->geometry());
      const bool bHoldsA =
          qobject_cast<const QGroupBox*>(b) && b->geometry().contains(a->geometry());
      if (aHoldsB || bHoldsA) continue;
      faults << QStringLiteral("%1 %2 overlaps %3 %4")
                    .arg(Describe(a), RectText(a->geometry()), Describe(b),
                         RectText(b->geometry()));
    }
    const QRect room = TextRoom(a);
    if (room.isNull()) continue;
    const QFontMetrics metrics = a->fontMetrics();
    // What the glyphs cover, from the pen's start: the blank after a final "。" may be cut.
    const QSize text(metrics.boundingRect(TextOf(a)).right() + 1, metrics.height());
    if (text.width() > room.width() || text.height() > room.height()) {
      faults << QStringLiteral("%1 needs %2×%3 for its text but has %4×%5")
                    .arg(Describe(a))
                    .arg(text.width())
                    .arg(text.height())
                    .arg(room.width())
                    .arg(room.height());
    }
  }
  return faults;
}

QStringList ReadingOrderFaults(const QList<QList<const QWidget*>>& rows) {
  QStringList faults;
  int previousBottom = -1;
  QString previous;
  for (const QList<const QWidget*>& row : rows) {
    int bottom = -1;
    for (qsizetype i = 0; i < row.size(); ++i) {
      const QRect r = row[i]->geometry();
      if (r.top() <= previousBottom) {
        faults << QStringLiteral("%1 %2 is not below the row of %3")
                      .arg(Describe(row[i]), RectText(r), previous);
      }
      if (i > 0) {
        const QRect left = row[i - 1]->geometry();
        if (r.left() <= left.right()) {
          faults << QStringLiteral("%1 %2 does not follow %3 %4")
                        .arg(Describe(row[i]), RectText(r), Describe(row[i - 1]), RectText(left));
        }
        if (r.top() > left.bottom() || r.bottom() < left.top()) {
          faults << QStringLiteral("%1 %2 is not on the line of %3 %4")
                        .arg(Describe(row[i]), RectText(r), Describe(row[i - 1]), RectText(left));
        }
      }
      bottom = std::max(bottom, r.bottom());
    }
    previousBottom = bottom;
    previous = row.isEmpty() ? QString() : Describe(row.front());
  }
  return faults;
}

QStringList LeftEdgeFaults(const QWidget* root, const QList<const QWidget*>& column) {
  QStringList faults;
  if (column.isEmpty()) return faults;
  const int left = column.front()->mapTo(root, QPoint()).x();
  for (const QWidget* control : column) {
    const int x = control->mapTo(root, QPoint()).x();
    if (x != left) {
      faults << QStringLiteral("%1 starts at x %2, not at x %3 with %4")
                    .arg(Describe(control))
                    .arg(x)
                    .arg(left)
                    .arg(Describe(column.front()));
    }
  }
  return faults;
}

}  // namespace sekato::ui::test
