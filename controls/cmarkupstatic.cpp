#include "cmarkupstatic.h"

#include <QColor>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWindow>
#include <string_view>
#include <utility>

#include "appmessagebox.h"
#include "markupcanvas.h"
#include "markuplayout.h"
#include "markuppointer.h"

namespace sekato::controls {

namespace {

CMarkupStatic::LinkOpener& CurrentOpener() {
  static CMarkupStatic::LinkOpener opener;
  return opener;
}

bool IsWebAddress(const QString& link) {
  const QUrl url = QUrl::fromUserInput(link);
  if (!url.isValid()) return false;
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
         scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Measures and draws UTF-8 text with a QPainter in the label's font.
class QtCanvas final : public MarkupCanvas {
 public:
  QtCanvas(QPainter& painter, const QFont& font)
      : m_painter(painter), m_font(font), m_metrics(font, painter.device()) {}

  void SelectFont(bool underline) override {
    QFont font = m_font;
    if (underline) font.setUnderline(true);
    m_painter.setFont(font);
    m_metrics = QFontMetrics(font, m_painter.device());
  }

  void SetTextColour(MarkupColour colour) override {
    m_painter.setPen(QColor(static_cast<int>(MarkupRed(colour)),
                            static_cast<int>(MarkupGreen(colour)),
                            static_cast<int>(MarkupBlue(colour))));
  }

  MarkupSize Extent(std::string_view text) override {
    return MarkupSize{m_metrics.horizontalAdvance(Visible(text)), m_metrics.height()};
  }

  void TextOut(int x, int y, std::string_view text) override {
    const QString visible = Visible(text);
    if (!visible.isEmpty()) m_painter.drawText(x, y + m_metrics.ascent(), visible);
  }

 private:
  // A line break's CR LF has no glyphs: it measures as an empty string one line high.
  static QString Visible(std::string_view text) {
    QString visible = FromUtf8(text);
    visible.remove(QLatin1Char('\r'));
    visible.remove(QLatin1Char('\n'));
    return visible;
  }

  QPainter& m_painter;
  const QFont m_font;
  QFontMetrics m_metrics;
};

MarkupPoint ToPoint(const QPointF& pos) {
  const QPoint p = pos.toPoint();
  return MarkupPoint{p.x(), p.y()};
}

}  // namespace

CMarkupStatic::CMarkupStatic(QWidget* parent) : QWidget(parent) {
  // A label that shows links has to hear the pointer over it, not only button presses.
  setMouseTracking(true);
}

CMarkupStatic::~CMarkupStatic() = default;

void CMarkupStatic::Attach(QLabel* control) {
  QWidget* parent = control->parentWidget();
  setParent(parent);
  setGeometry(control->geometry());
  setObjectName(control->objectName());
  if (control->testAttribute(Qt::WA_SetFont)) setFont(control->font());

  const Qt::Alignment alignment = control->alignment();
  std::uint32_t style = 0;
  if (alignment & Qt::AlignHCenter) {
    style |= MarkupLabel::kSsCenter;
  } else if (alignment & Qt::AlignRight) {
    style |= MarkupLabel::kSsRight;
  }
  if (alignment & Qt::AlignVCenter) style |= MarkupLabel::kSsCenterImage;

  const QString text = control->text();
  const bool visible = parent != nullptr ? control->isVisibleTo(parent) : !control->isHidden();
  stackUnder(control);
  delete control;
  setVisible(visible);
  PreSubclassWindow(style, text);
}

void CMarkupStatic::PreSubclassWindow(std::uint32_t style, const QString& text) {
  m_label.m_dwStyle = style;
  m_strWindowText = text;
  ParseMarkup(text);
}

void CMarkupStatic::SetWindowText(const QString& markup) {
  ParseMarkup(markup);
  if (isVisible()) repaint();
}

void CMarkupStatic::ParseMarkup(const QString& markup) {
  m_label.m_strMarkup = markup.toStdString();
  // The pieces that held the pointer are about to go: give it back first, or nothing would.
  if (m_label.m_bOverLink != 0) ReleasePointer();
  m_bDragging = false;
  m_label.ParseMarkup();
  // No background of our own: the parent repaints what lies under the old text.
  if (QWidget* parent = parentWidget()) parent->update(geometry());
  update();
}

bool CMarkupStatic::OpenLink() {
  const QString link = FromUtf8(m_label.m_strLink);
  const LinkOpener& opener = CurrentOpener();
  const bool opened =
      IsWebAddress(link) &&
      (opener ? opener(link) : QDesktopServices::openUrl(QUrl::fromUserInput(link)));
  if (!opened) {
    // The box takes the pointer away, so nothing stays lit behind it.
    MarkupPointer::CancelHover(m_label, *this);
    AppMessageBox::Show(window(), tr("提供的超级链接或者制定的文件无法执行 "));
  }
  return opened;
}

CMarkupStatic::LinkOpener CMarkupStatic::SetLinkOpener(LinkOpener opener) {
  return std::exchange(CurrentOpener(), std::move(opener));
}

void CMarkupStatic::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  QtCanvas canvas(painter, font());
  MarkupLayout::Paint(m_label, canvas, width(), height(), isEnabled());
}

void CMarkupStatic::mouseMoveEvent(QMouseEvent* event) {
  if (m_bDragging && (event->buttons() & Qt::LeftButton)) {
    if (QWidget* parent = parentWidget()) {
      parent->move(event->globalPosition().toPoint() - m_ptDragOffset);
    }
  }
  MarkupPointer::OnMouseMove(m_label, *this, ToPoint(event->position()));
  QWidget::mouseMoveEvent(event);
}

void CMarkupStatic::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    MarkupPointer::OnLButtonDown(m_label, *this, ToPoint(event->position()));
  }
  QWidget::mousePressEvent(event);
}

void CMarkupStatic::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    m_bDragging = false;
    MarkupPointer::OnLButtonUp(m_label, *this, ToPoint(event->position()));
  }
  QWidget::mouseReleaseEvent(event);
}

void CMarkupStatic::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && isVisible()) repaint();
}

void CMarkupStatic::leaveEvent(QEvent* event) {
  // Where the platform cannot hold the pointer for us (Wayland, offscreen) no move arrives
  // from outside, so the pointer leaving is what puts a lit link out. x -1 lies left of
  // every piece of text.
  if (m_label.m_bOverLink != 0 && !rect().contains(mapFromGlobal(QCursor::pos()))) {
    MarkupPointer::OnMouseMove(m_label, *this, MarkupPoint{-1, -1});
  }
  QWidget::leaveEvent(event);
}

void CMarkupStatic::CapturePointer() {
  setCursor(m_hHandCursor);
  if (isVisible()) grabMouse();
}

void CMarkupStatic::ReleasePointer() {
  if (QWidget::mouseGrabber() == this) releaseMouse();
  unsetCursor();
}

void CMarkupStatic::Invalidate(const MarkupRect& rect) {
  update(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void CMarkupStatic::InvalidateAll() { update(); }

void CMarkupStatic::UpdateNow() {
  if (isVisible()) repaint();
}

bool CMarkupStatic::OpenLink(const std::string&) { return OpenLink(); }

bool CMarkupStatic::ParentIsCaptionlessWindow() const {
  const QWidget* parent = parentWidget();
  if (parent == nullptr || !parent->isWindow()) return false;
  const Qt::WindowFlags flags = parent->windowFlags();
  if (flags & Qt::FramelessWindowHint) return true;
  if ((flags & Qt::CustomizeWindowHint) && !(flags & Qt::WindowTitleHint)) return true;
  const Qt::WindowType type = parent->windowType();
  return type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen;
}

void CMarkupStatic::StartParentDrag(MarkupPoint p) {
  QWidget* parent = parentWidget();
  if (parent == nullptr) return;
  if (QWindow* handle = parent->windowHandle(); handle != nullptr && handle->startSystemMove()) {
    return;
  }
  // No window manager move here (offscreen, or a platform without one): follow the pointer.
  m_bDragging = true;
  m_ptDragOffset = mapToGlobal(QPoint(p.x, p.y)) - parent->pos();
}

}  // namespace sekato::controls
