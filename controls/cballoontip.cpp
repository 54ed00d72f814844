#include "cballoontip.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

namespace sekato::controls {

namespace {

// An owned top-level window without border or caption that the window manager never
// focuses or activates: the tip must not take the keyboard from the field being typed in.
constexpr Qt::WindowFlags kTipWindowFlags =
    Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;

// Text lines are drawn and measured alike: one line each, an ampersand marking the next
// character as a mnemonic ("&&" for an ampersand), tabs not expanded.
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;

// Widths of the two bands along the inside of the outline: the broad one in the scroll-bar
// colour, then the outermost pixel ring in the window-text colour over it.
constexpr int kBandWidth = 3;
constexpr int kOutlineWidth = 1;

bool TakesPointerAt(const QWidget* w, const QPoint& global) {
  if (!w->isVisible() || !w->isEnabled() || w->testAttribute(Qt::WA_TransparentForMouseEvents))
    return false;
  if (w->isWindow() &&
      (w->isMinimized() || w->windowFlags().testFlag(Qt::WindowTransparentForInput)))
    return false;
  const QPoint local = w->mapFromGlobal(global);
  if (!w->rect().contains(local)) return false;
  const QRegion mask = w->mask();
  return mask.isEmpty() || mask.contains(local);
}

// The pixels of `region` within `width` of its outside, horizontally or vertically.
QRegion InsideBand(const QRegion& region, int width) {
  const QRegion inner = region.intersected(region.translated(width, 0))
                            .intersected(region.translated(-width, 0))
                            .intersected(region.translated(0, width))
                            .intersected(region.translated(0, -width));
  return region.subtracted(inner);
}

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
  for (const QRect& r : region) painter.fillRect(r, color);
}

QSize SizeOfIcon(const QIcon& icon) {
  // The icon's own size: a pixmap icon offers exactly one; of several, the largest. An icon
  // that offers none (a scalable one) is drawn at the common 32 × 32.
  const QList<QSize> sizes = icon.availableSizes();
  if (sizes.isEmpty()) return icon.actualSize(QSize(32, 32));
  return *std::max_element(sizes.begin(), sizes.end(), [](const QSize& a, const QSize& b) {
    return a.width() * a.height() < b.width() * b.height();
  });
}

}  // namespace

CBalloonTip::CBalloonTip()
    : QWidget(nullptr, kTipWindowFlags), m_logic(*this), m_font(QApplication::font()) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

CBalloonTip::~CBalloonTip() {
  m_logic.OnDestroy();
  SetClock(nullptr);
}

bool CBalloonTip::Create(QWidget* pParentWnd) {
  setParent(pParentWnd, kTipWindowFlags);  // hidden until the first show
  m_bCreated = true;
  m_font = QApplication::font();
  return true;
}

void CBalloonTip::SetTextFont(const QFont& font) {
  m_font = font;
  RedrawNow();
}

void CBalloonTip::SetIcon(const QIcon& hIcon) {
  m_hIcon = hIcon;
  if (hIcon.isNull()) return m_logic.SetIconSize(std::nullopt);
  const QSize size = SizeOfIcon(hIcon);
  m_logic.SetIconSize(BalloonSize{size.width(), size.height()});
  RedrawNow();
}

void CBalloonTip::AddTool(QWidget* pWnd, const QString& strText, const QIcon& hIcon) {
  if (!pWnd) return;  // a control the form could not find has nothing to explain
  m_mapTools.insert(pWnd, BalloonTool{strText, hIcon, pWnd});
}

void CBalloonTip::RelayEvent(const QEvent* pEvent) {
  if (!pEvent) return;
  // Only the left, right and middle buttons count: not back, forward or the like.
  constexpr Qt::MouseButtons kButtons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
  if (pEvent->type() == QEvent::MouseButtonPress &&
      !(static_cast<const QMouseEvent*>(pEvent)->button() & kButtons)) {
    return;
  }
  RelayEvent(pEvent->type());
}

void CBalloonTip::RelayEvent(QEvent::Type type) {
  if (type == QEvent::MouseMove) {
    Relay(BalloonController::Input::kMouseMove);
  } else if (type == QEvent::MouseButtonPress) {
    Relay(BalloonController::Input::kButtonDown);
  }
}

void CBalloonTip::Relay(BalloonController::Input input) {
  m_logic.Relay(input, [this](BalloonPoint pt) { return ArmToolAt(pt); });
}

bool CBalloonTip::ArmToolAt(BalloonPoint pt) {
  const QWidget* window = WindowFromPoint(QPoint(pt.x, pt.y));
  const auto it = m_mapTools.constFind(window);
  if (!window || it == m_mapTools.cend() || it->pWnd != window) return false;
  SetIcon(it->hIcon);  // a tip that is up shows the new icon at once, still with the old text
  m_logic.ShowDelayed(it->strText.toStdString(), &pt);
  return true;
}

void CBalloonTip::ShowDelayed(const QString& strText, const QPoint* pPoint) {
  const BalloonPoint pt{pPoint ? pPoint->x() : 0, pPoint ? pPoint->y() : 0};
  m_logic.ShowDelayed(strText.toStdString(), pPoint ? &pt : nullptr);
}

QWidget* CBalloonTip::WindowFromPoint(const QPoint& pt) {
  // The platform knows the stacking order of the windows; when it names none of ours that
  // takes the pointer there (it may name the tip, whose shape leaves the point out), look
  // through our own windows, the active one first.
  QWidget* window = QApplication::topLevelAt(pt);
  if (!window || !TakesPointerAt(window, pt)) {
    window = nullptr;
    QWidget* active = QApplication::activeWindow();
    if (active && TakesPointerAt(active, pt)) {
      window = active;
    } else {
      const QWidgetList windows = QApplication::topLevelWidgets();
      const auto found = std::find_if(windows.begin(), windows.end(),
                                      [&pt](const QWidget* w) { return TakesPointerAt(w, pt); });
      if (found != windows.end()) window = *found;
    }
  }
  while (window) {
    // Children are kept in stacking order, the topmost last.
    QWidget* next = nullptr;
    const QObjectList& children = window->children();
    for (auto child = children.crbegin(); child != children.crend() && !next; ++child) {
      if (!(*child)->isWidgetType()) continue;
      auto* w = static_cast<QWidget*>(*child);
      if (!w->isWindow() && TakesPointerAt(w, pt)) next = w;
    }
    if (!next) return window;
    window = next;
  }
  return nullptr;
}

void CBalloonTip::SetCursorSource(CursorSource source) { m_cursorSource = std::move(source); }

void CBalloonTip::SetClock(BalloonClock* clock) {
  if (m_pClock) m_pClock->Detach();
  m_pClock = clock;
  if (m_pClock) m_pClock->SetTick([this](unsigned id) { m_logic.OnTimer(id); });
}

QPoint CBalloonTip::Anchor() const {
  const BalloonPoint anchor = m_logic.Anchor();
  return {anchor.x, anchor.y};
}

QString CBalloonTip::Text() const { return QString::fromStdString(m_logic.Text()); }

QSize CBalloonTip::IconSize() const {
  const auto icon = m_logic.IconSize();
  return icon ? QSize(icon->cx, icon->cy) : QSize(0, 0);
}

void CBalloonTip::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const BalloonGeometry geometry = m_logic.CreateBalloonGeometry();
  const QRegion region = ToRegion(geometry);
  const QPalette& pal = palette();
  // Window colour inside, the scroll-bar colour (the button face, as Qt has no scroll-bar
  // role) as a band along the edge, and a thin outline in the window-text colour.
  FillRegion(painter, region, pal.color(QPalette::Base));
  FillRegion(painter, InsideBand(region, kBandWidth), pal.color(QPalette::Button));
  FillRegion(painter, InsideBand(region, kOutlineWidth), pal.color(QPalette::WindowText));

  const BalloonPoint origin = geometry.TextOrigin();
  const QRect textRect = rect().adjusted(origin.x, origin.y, 0, 0);
  if (textRect.isValid()) {
    painter.save();
    painter.setClipRect(textRect);
    painter.setFont(m_font);
    // The text colour that goes with the window colour, so that a dark palette stays readable.
    painter.setPen(pal.color(QPalette::Text));
    const int lineHeight = TextLineHeight();
    int y = textRect.top();
    for (const QString& line : Text().split(QLatin1Char('\n'))) {
      painter.drawText(QRect(textRect.left(), y, textRect.width(), lineHeight), kTextFlags, line);
      y += lineHeight;
    }
    painter.restore();
  }

  if (const auto icon = m_logic.IconSize()) {
    const BalloonPoint at = geometry.IconOrigin();
    m_hIcon.paint(&painter, QRect(at.x, at.y, icon->cx, icon->cy));
  }
}

void CBalloonTip::timerEvent(QTimerEvent* event) {
  const auto timer = std::find_if(m_timers.begin(), m_timers.end(), [event](const auto& entry) {
    return entry.second.timerId() == event->timerId();
  });
  if (timer == m_timers.end()) {
    QWidget::timerEvent(event);
    return;
  }
  m_logic.OnTimer(timer->first);
}

void CBalloonTip::SetTimer(unsigned id, unsigned periodMs) {
  if (!m_bCreated) return;  // no window, no timer: the tip never shows
  if (m_pClock) return m_pClock->Start(id, periodMs);
  m_timers[id].start(static_cast<int>(periodMs), Qt::PreciseTimer, this);
}

void CBalloonTip::KillTimer(unsigned id) {
  if (m_pClock) return m_pClock->Stop(id);
  const auto timer = m_timers.find(id);
  if (timer != m_timers.end()) timer->second.stop();
}

BalloonPoint CBalloonTip::GetCursorPos() const {
  const QPoint pos = m_cursorSource ? m_cursorSource() : QCursor::pos();
  return {pos.x(), pos.y()};
}

BalloonRect CBalloonTip::AvailableArea(BalloonPoint at) const {
  const QScreen* screen = QGuiApplication::screenAt(QPoint(at.x, at.y));
  if (screen == nullptr) screen = this->screen();
  if (screen == nullptr) return {};
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

int CBalloonTip::TextLineWidth(std::string_view line) const {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  return QFontMetrics(m_font, this).size(kTextFlags, text).width();
}

int CBalloonTip::TextLineHeight() const { return QFontMetrics(m_font, this).height(); }

void CBalloonTip::ShowBalloon(const BalloonGeometry& geometry, BalloonPoint topLeft) {
  // An open menu or combo list is what the user looks at: no tip goes over it.
  if (QApplication::activePopupWidget() != nullptr) return;
  const BalloonSize size = geometry.WindowSize();
  setMask(ToRegion(geometry));
  setGeometry(topLeft.x, topLeft.y, size.cx, size.cy);
  show();
  raise();
  update();
}

void CBalloonTip::HideBalloon() { hide(); }

void CBalloonTip::RedrawNow() {
  if (m_bCreated) repaint();
}

QRegion CBalloonTip::ToRegion(const BalloonGeometry& geometry) {
  QRegion region;
  for (const BalloonSpan& span : geometry.Region())
    region += QRect(span.left, span.y, span.right - span.left, 1);
  return region;
}

}  // namespace sekato::controls
