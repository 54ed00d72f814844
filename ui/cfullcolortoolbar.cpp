#include "cfullcolortoolbar.h"

#include <QAction>
#include <QIcon>
#include <QImage>

#include "resourceids.h"

namespace sekato::ui {

CFullColorToolBar::CFullColorToolBar(QWidget* parent) : QToolBar(parent) {}

bool CFullColorToolBar::LoadToolBar(const QList<QAction*>& buttons) {
  clear();
  m_buttons.clear();
  for (QAction* action : buttons) {
    if (action == nullptr) {
      addSeparator();
    } else {
      addAction(action);
      m_buttons.append(action);
    }
  }
  ApplyImages();
  return true;
}

bool CFullColorToolBar::SetFullColorImages(int nBtnWidth, int uNormal, int uHot, int uDisabled) {
  return AttachImageList(ImageList::Normal, uNormal, nBtnWidth) &&
         AttachImageList(ImageList::Hot, uHot, nBtnWidth) &&
         (uDisabled == 0 || AttachImageList(ImageList::Disabled, uDisabled, nBtnWidth));
}

bool CFullColorToolBar::AttachImageList(ImageList which, int uBitmap, int nBtnWidth) {
  const QString path = BitmapResource(uBitmap);
  if (path.isEmpty() || nBtnWidth <= 0) return false;
  const QImage bitmap(path);
  if (bitmap.isNull()) return false;
  const int count = bitmap.width() / nBtnWidth;
  if (count == 0) return false;

  const QRgb mask = bitmap.pixel(0, bitmap.height() - 1);  // the bottom-left pixel's colour
  QList<QPixmap> images;
  for (int i = 0; i < count; ++i) {
    QImage image = bitmap.copy(i * nBtnWidth, 0, nBtnWidth, bitmap.height())
                       .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if ((line[x] & RGB_MASK) == (mask & RGB_MASK)) line[x] = qRgba(0, 0, 0, 0);
      }
    }
    images.append(QPixmap::fromImage(image));
  }
  m_lists[static_cast<std::size_t>(which)] = images;
  ApplyImages();
  return true;
}

void CFullColorToolBar::ApplyImages() {
  // The icon modes of the lists, in ImageList order.
  constexpr QIcon::Mode kModes[] = {QIcon::Normal, QIcon::Active, QIcon::Disabled};
  for (int i = 0; i < m_buttons.size(); ++i) {
    QIcon icon;
    for (std::size_t list = 0; list < m_lists.size(); ++list) {
      if (i < m_lists[list].size()) icon.addPixmap(m_lists[list][i], kModes[list]);
    }
    m_buttons[i]->setIcon(icon);
    m_buttons[i]->setIconVisibleInMenu(false);  // the menu shows texts only
  }
}

}  // namespace sekato::ui
