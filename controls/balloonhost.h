#pragma once

#include <string_view>

#include "balloongeometry.h"

namespace sekato::controls {

/// What the tip's timers, placement and relay need from a window system. CBalloonTip
/// implements it with Qt; tests implement it with a clock they advance by hand.
class BalloonHost {
 public:
  virtual ~BalloonHost() = default;

  /// Starts the tip's repeating timer `id`, ticking every `periodMs`. Starting an id that is
  /// already running restarts its countdown; each tick reaches BalloonController::OnTimer.
  virtual void SetTimer(unsigned id, unsigned periodMs) = 0;
  /// Stops timer `id`; an id that is not running is left alone.
  virtual void KillTimer(unsigned id) = 0;
  /// The mouse pointer's position on the screen.
  virtual BalloonPoint GetCursorPos() const = 0;
  /// The available area of the screen showing `at` (without panels and docks); empty when it
  /// is not known, and the tip then goes where the pointer puts it.
  virtual BalloonRect AvailableArea(BalloonPoint at) const {
    static_cast<void>(at);
    return {};
  }
  /// Width of one line of the tip's text (UTF-8, no line feed) in the tip's font.
  virtual int TextLineWidth(std::string_view line) const = 0;
  /// Height of one line of text in the tip's font.
  virtual int TextLineHeight() const = 0;
  /// Cuts the window to `geometry`'s shape and size, moves its top-left corner to `topLeft`,
  /// raises it above every other window and shows it without taking the focus.
  virtual void ShowBalloon(const BalloonGeometry& geometry, BalloonPoint topLeft) = 0;
  /// Hides the window; a hidden window stays as it is.
  virtual void HideBalloon() = 0;
};

}  // namespace sekato::controls
