#pragma once

#include <QList>
#include <QPixmap>
#include <QToolBar>
#include <array>

class QAction;

namespace sekato::ui {

/// A toolbar whose buttons take their images from 24-bit bitmaps: one strip of equal-width
/// images for the normal look, one for the look under the pointer and one for the disabled
/// look. In each strip the colour of the bottom-left pixel is the background and becomes
/// transparent.
class CFullColorToolBar final : public QToolBar {
  Q_OBJECT

 public:
  /// Which of the toolbar's three image lists a strip fills.
  enum class ImageList { Normal = 0, Hot = 1, Disabled = 2 };

  explicit CFullColorToolBar(QWidget* parent = nullptr);

  /// Lays out the buttons in order, a null entry standing for a separator. The i-th button
  /// (separators not counted) shows image i of each list.
  bool LoadToolBar(const QList<QAction*>& buttons);

  /// Fills the normal, hot and (unless `uDisabled` is 0) disabled lists from the bitmaps with
  /// those ids, stopping at the first that fails. `nBtnWidth` is the width of one image.
  bool SetFullColorImages(int nBtnWidth, int uNormal, int uHot, int uDisabled);

  /// Cuts bitmap `uBitmap` into images `nBtnWidth` wide (as many as fit whole) and makes them
  /// the list `which`. False when the bitmap is missing or narrower than one image.
  bool AttachImageList(ImageList which, int uBitmap, int nBtnWidth);

  /// The images of one list, in order (empty until attached).
  QList<QPixmap> Images(ImageList which) const { return m_lists[static_cast<std::size_t>(which)]; }

 private:
  void ApplyImages();

  QList<QAction*> m_buttons;
  std::array<QList<QPixmap>, 3> m_lists;
};

}  // namespace sekato::ui
