#pragma once

#include "markupsegment.h"

namespace sekato::controls {

class MarkupLabel;
class MarkupPointerHost;

/// The label's answers to the pointer. A link is highlighted and opened as a whole run: the
/// adjacent pieces that share its target (a link broken by a line break or by wrapping).
///
/// The piece the pointer enters takes the capture and the hand cursor; the pointer leaving it
/// gives both back. At most one piece holds the capture, and m_bOverLink is 1 exactly while
/// one does.
class MarkupPointer final {
 public:
  /// The hover pass for the pointer at `p`: enter and leave link runs, repainting what changed
  /// (at once, unless the pointer is over a visited link). Moving from one piece to an earlier
  /// piece of the same run hands the capture over in this move; moving to a later piece gives
  /// it back now and takes it again at the next move.
  static void OnMouseMove(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p);

  /// Button pressed at `p`: over anything but a link, a caption-less top-level parent starts
  /// moving with the pointer.
  static void OnLButtonDown(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p);

  /// Button released at `p`: opens the link under it and marks visited the pieces of its run
  /// up to the one clicked and every later piece with the same target. Clicking the first of
  /// two places that share a target marks both; clicking the second marks only the second.
  /// The whole label is repainted in any case.
  static void OnLButtonUp(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p);

  /// Drops the capture and every highlight, as when a message box takes the pointer away.
  static void CancelHover(MarkupLabel& label, MarkupPointerHost& host);
};

}  // namespace sekato::controls
