#pragma once

#include <functional>
#include <optional>
#include <string>

#include "balloongeometry.h"

namespace sekato::controls {

class BalloonHost;

/// The tip's behaviour in time: the delayed show, the poll that hides the tip once the
/// pointer has left the place it points at, and the relay's answers to mouse input.
///
/// Both timers share one record, m_nTimerID: every start records the started id, replacing
/// the other, and every kill (show step, poll step, destroy) kills only the recorded id.
/// With the host's restart rule this has consequences callers can see:
/// - Arming while the tip is up (the pointer moved within a tool) records the show timer;
///   the poll keeps ticking unrecorded. If the show step comes first it restarts the poll
///   and records it again. If a poll tick comes first and finds the pointer off the anchor,
///   it kills the pending show and hides the tip, and the poll then ticks on (harmlessly)
///   until the next show step.
/// - Before the first show nothing polls: a show armed over a tool survives the pointer
///   moving on to a place that is no tool. The tip then shows at the old anchor when the
///   delay runs out and hides at the first poll tick, 500 ms later.
class BalloonController final {
 public:
  /// Timer ids on the tip window: the show delay, and the poll while the tip is up.
  static constexpr unsigned IDT_BALLOON_SHOW = 100;
  static constexpr unsigned IDT_BALLOON_POLL = 101;
  /// The poll's period; it does not follow the show delay.
  static constexpr unsigned kPollPeriodMs = 500;

  /// A relayed event as far as the tip is concerned.
  enum class Input {
    kMouseMove,   ///< the pointer moved over the form or one of its controls
    kButtonDown,  ///< the left, right or middle button went down there
    kOther,       ///< anything else: releases, double clicks, keys, paints
  };

  /// Arms the registered tool under screen point `pt`, if there is one (normally by
  /// SetIconSize and ShowDelayed with the tool's text and `pt`); returns whether it did.
  using ArmToolAt = std::function<bool(BalloonPoint pt)>;

  explicit BalloonController(BalloonHost& host);

  BalloonController(const BalloonController&) = delete;
  BalloonController& operator=(const BalloonController&) = delete;

  /// Arms a show of `strText` (UTF-8; line feeds start lines) at `*pPoint`, or at the
  /// pointer when `pPoint` is null: records both and starts (or restarts) the show timer.
  /// A tip already up keeps its shape, place and text until the show step.
  void ShowDelayed(std::string strText, const BalloonPoint* pPoint);

  /// A tick of timer `nIDEvent`. The show step shapes, places and shows the tip for the
  /// current text, icon and anchor, whether or not the pointer is still over a tool, and
  /// starts the poll. The poll step hides the tip once the pointer is anywhere but exactly
  /// at the anchor; while it stays there the tip stays up, without time limit. Other ids do
  /// nothing.
  void OnTimer(unsigned nIDEvent);

  /// The window is going away: kills the recorded timer (the other ends with the window).
  void OnDestroy();

  /// Handles one event the form relays. A move to exactly the anchor does nothing (a window
  /// changing under a still pointer reports such moves); any other move arms the tool under
  /// the pointer through `armToolAt`, or hides the tip when there is none. A button press
  /// hides the tip. Hiding never touches a timer, so a show already armed still comes.
  void Relay(Input input, const ArmToolAt& armToolAt);

  /// The pointer has left the owner, or another window took the keyboard: a pending show is
  /// called off and a tip that is up goes down. The next move over a tool arms it afresh.
  void Cancel();

  /// The icon's size for the next geometry, or nothing for no icon.
  void SetIconSize(std::optional<BalloonSize> icon);

  /// The balloon for the current text, icon and the host's font, turned as it was last
  /// placed to stay on the screen.
  BalloonGeometry CreateBalloonGeometry() const;

  unsigned ShowDelay() const { return m_nShowDelay; }
  BalloonPoint Anchor() const { return m_ptAnchor; }
  const std::string& Text() const { return m_strText; }
  /// The id last started (100 or 101), or 0 before any.
  unsigned TimerId() const { return m_nTimerID; }
  std::optional<BalloonSize> IconSize() const;

 private:
  void OnShowTimer();
  void OnPollTimer();

  BalloonHost& m_host;
  unsigned m_nShowDelay = 500;
  BalloonPoint m_ptAnchor;
  BalloonGeometry::Orientation m_orientation;  ///< as the last show placed the tip
  std::string m_strText;
  unsigned m_nTimerID = 0;
  bool m_bIcon = false;
  int m_cxIcon = 0;
  int m_cyIcon = 0;
};

}  // namespace sekato::controls
