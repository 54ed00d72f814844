#include "dialogunits.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace sekato::ui {

namespace {
// Units round to the nearest pixel, as the platform's MapDialogRect does (MulDiv rounds).
int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the 52 Latin letters, rounded, is how the platform measures a
  // dialog font's base width.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int width = metrics.horizontalAdvance(letters);
  m_nBaseX = std::max(1, (width / 26 + 1) / 2);
  m_nBaseY = std::max(1, metrics.height());
}

QFont DialogUnits::DialogFont() {
  QFont font(QStringLiteral("宋体"), 9);
  font.setFamilies(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                               QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                               QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("Noto Serif CJK SC")});
  return font;
}

int DialogUnits::X(int units) const { return MulDiv(units, m_nBaseX, 4); }
int DialogUnits::Y(int units) const { return MulDiv(units, m_nBaseY, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::Size(int width, int height) const { return QSize(X(width), Y(height)); }

}  // namespace sekato::ui
