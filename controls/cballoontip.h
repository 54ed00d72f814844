#pragma once

#include <QBasicTimer>
#include <QEvent>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "balloonclock.h"
#include "ballooncontroller.h"
#include "balloonhost.h"

namespace sekato::controls {

/// A help tip shaped like a speech balloon: a borderless window with rounded corners and a
/// stem at its lower right whose point sits on the mouse pointer. Controls are registered
/// with their help texts; the owner hands the tip every event of itself and its controls,
/// and half a second after the pointer comes to rest over a registered, enabled control its
/// text appears above and left of the pointer. The tip hides when the pointer leaves that
/// exact spot or a mouse button goes down.
///
/// Usage by a form:
///   m_tip.Create(this);
///   m_tip.SetTextFont(m_fontTip);
///   m_tip.AddTool(keywordsEdit, QStringLiteral("..."));
///   // and for every event of the form and its controls, before the form handles it:
///   m_tip.RelayEvent(event);
class CBalloonTip final : public QWidget, private BalloonHost {
  Q_OBJECT

 public:
  /// Where the relay and the poll read the pointer's screen position.
  using CursorSource = std::function<QPoint()>;

  /// The tip object with no tools; its window exists only after Create.
  CBalloonTip();
  ~CBalloonTip() override;

  CBalloonTip(const CBalloonTip&) = delete;
  CBalloonTip& operator=(const CBalloonTip&) = delete;

  /// Makes the tip's window, hidden, owned by `pParentWnd` (none when null): a frameless
  /// top-level window that never takes the focus and goes away with its owner. The text
  /// font becomes the application's default font. Returns true.
  bool Create(QWidget* pParentWnd);

  /// The font to measure and draw the text in (copied). A tip that is up is repainted at
  /// once in it, keeping its shape and size until it is next shown.
  void SetTextFont(const QFont& font);

  /// The icon drawn left of the text, or none for a null icon. Its size is the icon's own
  /// (the largest it offers); a tip window that exists is repainted at once when the icon
  /// is not null.
  void SetIcon(const QIcon& hIcon);

  /// Registers `pWnd` with its help text (line feeds start lines) and optional icon. A
  /// control registered again keeps only the later text and icon. Works before Create too.
  void AddTool(QWidget* pWnd, const QString& strText, const QIcon& hIcon = QIcon());

  /// Takes one event addressed to the owner or one of its controls; the caller goes on
  /// handling it in every case. Only the event's kind matters: a mouse move arms the tip for
  /// the visible, enabled control under the pointer (or hides it over anything else); a
  /// left, right or middle button press hides it; nothing else does anything. The pointer
  /// position is read from the cursor source, never from the event.
  void RelayEvent(const QEvent* pEvent);
  /// The same for an event known only by its type (any button press counts as a press).
  void RelayEvent(QEvent::Type type);

  /// Calls off a pending show and hides the tip: the pointer left the owner, or a window of
  /// its own (a message box) took the keyboard.
  void Pop() { m_logic.Cancel(); }

  /// Arms a show of `strText` at `*pPoint` (screen), or at the pointer when `pPoint` is
  /// null, 500 ms from now; arming again restarts the delay with the new text and point.
  void ShowDelayed(const QString& strText, const QPoint* pPoint);

  /// The window that takes the mouse at screen point `pt`: the visible top-level window of
  /// this program there, then down through its visible, enabled children. A hidden or
  /// disabled control is passed over, so its parent (or the sibling beneath) is found.
  static QWidget* WindowFromPoint(const QPoint& pt);

  /// Replaces the pointer source (tests drive the pointer by hand); an empty one restores
  /// the real pointer.
  void SetCursorSource(CursorSource source);

  /// Runs the show delay and the poll on `clock` instead of real timers (tests move time on
  /// by hand); null goes back to real timers. The clock must outlive the tip or be given
  /// back first.
  void SetClock(BalloonClock* clock);

  /// The balloon for the current text, icon and font.
  BalloonGeometry CreateBalloonGeometry() const { return m_logic.CreateBalloonGeometry(); }
  /// The pointer position the stem points at when shown, and the text shown.
  QPoint Anchor() const;
  QString Text() const;
  /// The icon's size, 0 × 0 with no icon.
  QSize IconSize() const;
  QFont TextFont() const { return m_font; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  /// One registered control: its help text and icon. The control is watched, so a record
  /// never answers for a later widget that happens to reuse a destroyed control's address.
  struct BalloonTool {
    QString strText;
    QIcon hIcon;
    QPointer<QWidget> pWnd;
  };

  // BalloonHost
  void SetTimer(unsigned id, unsigned periodMs) override;
  void KillTimer(unsigned id) override;
  BalloonPoint GetCursorPos() const override;
  BalloonRect AvailableArea(BalloonPoint at) const override;
  int TextLineWidth(std::string_view line) const override;
  int TextLineHeight() const override;
  void ShowBalloon(const BalloonGeometry& geometry, BalloonPoint topLeft) override;
  void HideBalloon() override;

  bool ArmToolAt(BalloonPoint pt);
  void Relay(BalloonController::Input input);
  void RedrawNow();
  static QRegion ToRegion(const BalloonGeometry& geometry);

  BalloonController m_logic;
  bool m_bCreated = false;
  QIcon m_hIcon;
  QFont m_font;
  QHash<const QWidget*, BalloonTool> m_mapTools;
  std::map<unsigned, QBasicTimer> m_timers;
  CursorSource m_cursorSource;
  BalloonClock* m_pClock = nullptr;
};

}  // namespace sekato::controls
