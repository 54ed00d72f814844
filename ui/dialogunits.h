#pragma once

#include <QFont>
#include <QRect>

namespace sekato::ui {

/// Dialog units of a dialog font, as dialog templates measure their controls: one
/// horizontal unit is a quarter of the font's average character width, one vertical unit an
/// eighth of its character height. With a 9-point font at 96 dpi (average width 6 px, height
/// 12 px) the rectangle 55,16,200,13 becomes x 82, y 24, 300 × 19 pixels.
class DialogUnits final {
 public:
  explicit DialogUnits(const QFont& font);

  /// The dialog font of the program's templates: 9-point "宋体" (fontconfig picks a CJK face).
  static QFont DialogFont();

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const;

 private:
  int m_nBaseX;
  int m_nBaseY;
};

}  // namespace sekato::ui
