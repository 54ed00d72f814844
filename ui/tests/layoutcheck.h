#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace sekato::ui::test {

/// What is wrong with where `root`'s own child controls sit, one line a fault, empty when
/// nothing is: two controls overlap (a group box may hold others, but only wholly), a control
/// sticks out of `root`, or the glyphs of a label's, button's, radio button's or check box's
/// text reach past the room its control gives it. Hidden controls do not count.
QStringList LayoutFaults(const QWidget* root);

/// Faults in `rows`, each a row of controls left to right, the rows top to bottom: every
/// control of a row starts right of the one before it and shares some height with it, and
/// every row lies wholly below the one above it.
QStringList ReadingOrderFaults(const QList<QList<const QWidget*>>& rows);

/// Faults in `column`: its controls do not all share one left edge (in `root`'s coordinates).
QStringList LeftEdgeFaults(const QWidget* root, const QList<const QWidget*>& column);

/// How a control is named in the lines above: its object name, else its text.
QString Describe(const QWidget* control);

}  // namespace sekato::ui::test
