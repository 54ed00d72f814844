#pragma once

#include <string>

#include "markupsegment.h"

namespace sekato::controls {

/// What the label's pointer handling needs from a window system. CMarkupStatic implements it
/// with Qt; tests record the calls.
class MarkupPointerHost {
 public:
  virtual ~MarkupPointerHost() = default;

  /// Shows the hand over a link and keeps pointer moves coming, also outside the label, until
  /// ReleasePointer.
  virtual void CapturePointer() = 0;
  /// Gives the pointer back and the ordinary cursor with it.
  virtual void ReleasePointer() = 0;
  /// Marks `rect` for repainting by the normal paint cycle.
  virtual void Invalidate(const MarkupRect& rect) = 0;
  /// Marks the whole label for repainting.
  virtual void InvalidateAll() = 0;
  /// Repaints what is marked, at once.
  virtual void UpdateNow() = 0;
  /// Opens `link` in the web browser, telling the user when it cannot; true when it opened.
  virtual bool OpenLink(const std::string& link) = 0;
  /// True when the label's parent is a top-level window without a caption.
  virtual bool ParentIsCaptionlessWindow() const = 0;
  /// Lets the user move the parent window by dragging from `p`, as if by its caption.
  virtual void StartParentDrag(MarkupPoint p) = 0;
};

}  // namespace sekato::controls
