#include "markuppointer.h"

#include <iterator>
#include <string>
#include <vector>

#include "markuplabel.h"
#include "markuppointerhost.h"

namespace sekato::controls {

namespace {

using Pos = MarkupSegmentList::iterator;

bool SameRun(const MarkupSegment& a, const MarkupSegment& b) {
  return a.IsLink() && a.strLink == b.strLink;
}

// Applies `visit` to the members of s's run before it, nearest first.
template <typename Visit>
void WalkBack(MarkupSegmentList& segments, Pos s, Visit visit) {
  for (Pos posWalk = s; posWalk != segments.begin();) {
    --posWalk;
    if (!SameRun(*posWalk, *s)) break;
    visit(*posWalk);
  }
}

// Applies `visit` to the members of s's run after it; returns the position after the run.
template <typename Visit>
Pos WalkForward(MarkupSegmentList& segments, Pos s, Visit visit) {
  Pos posWalk = std::next(s);
  for (; posWalk != segments.end() && SameRun(*posWalk, *s); ++posWalk) visit(*posWalk);
  return posWalk;
}

// Lights (`hot` 1) or puts out s's whole run and has it redrawn; with `dropCapture` the pieces
// after s give up the capture flag. Returns the position after the run.
Pos SetRunHot(MarkupSegmentList& segments, Pos s, int hot, bool dropCapture,
              MarkupPointerHost& host) {
  const auto mark = [&](MarkupSegment& m) {
    m.bHot = hot;
    host.Invalidate(m.rcText);
  };
  mark(*s);
  WalkBack(segments, s, mark);
  return WalkForward(segments, s, [&](MarkupSegment& m) {
    if (dropCapture) m.bHasCapture = 0;
    mark(m);
  });
}

}  // namespace

void MarkupPointer::OnMouseMove(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p) {
  bool changed = false;
  bool overVisited = false;
  bool capturedInPass = false;
  auto& segments = label.m_segments;

  for (Pos posPointer = segments.begin(); posPointer != segments.end();) {
    MarkupSegment& s = *posPointer;
    if (s.rcText.Contains(p)) {
      if (s.bVisited) overVisited = true;
      if (s.bHasCapture == 0 && s.IsLink()) {
        host.CapturePointer();
        label.m_bOverLink = 1;
        s.bHasCapture = 1;
        posPointer = SetRunHot(segments, posPointer, 1, true, host);
        changed = true;
        capturedInPass = true;
        continue;
      }
      ++posPointer;
      continue;
    }

    // Only the piece holding the capture puts its run out: an earlier piece of a lit run stays
    // lit while the pointer rests on a later one.
    if (s.bHasCapture == 0) {
      ++posPointer;
      continue;
    }
    // A different link earlier in the list may have taken the capture in this very pass;
    // giving it back now would leave that link lit with nothing to put it out.
    if (!capturedInPass) {
      host.ReleasePointer();
      label.m_bOverLink = 0;
    }
    s.bHasCapture = 0;
    posPointer = SetRunHot(segments, posPointer, 0, false, host);
    changed = true;
  }

  if (changed && !overVisited) host.UpdateNow();
}

void MarkupPointer::OnLButtonDown(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p) {
  if (label.m_bOverLink == 0 && host.ParentIsCaptionlessWindow()) host.StartParentDrag(p);
}

void MarkupPointer::OnLButtonUp(MarkupLabel& label, MarkupPointerHost& host, MarkupPoint p) {
  std::string clicked;
  std::vector<std::string> toOpen;
  auto& segments = label.m_segments;

  for (Pos posPointer = segments.begin(); posPointer != segments.end(); ++posPointer) {
    MarkupSegment& s = *posPointer;
    if (s.rcText.Contains(p)) {
      if (!s.IsLink()) continue;
      clicked = s.strLink;
      toOpen.push_back(s.strLink);
      WalkBack(segments, posPointer, [](MarkupSegment& m) { m.bVisited = 1; });
      s.bVisited = 1;
    } else if (s.IsLink() && s.strLink == clicked) {
      s.bVisited = 1;
    }
  }

  // Opened once the marking is done: a failure shows a message box, and the label must not be
  // walked while the box runs its own event loop.
  for (const std::string& link : toOpen) {
    label.m_strLink = link;
    host.OpenLink(label.m_strLink);
  }
  host.InvalidateAll();
}

void MarkupPointer::CancelHover(MarkupLabel& label, MarkupPointerHost& host) {
  bool released = false;
  for (MarkupSegment& s : label.m_segments) {
    if (s.bHasCapture == 0 && s.bHot == 0) continue;
    if (s.bHasCapture == 1 && !released) {
      host.ReleasePointer();
      released = true;
    }
    s.bHasCapture = 0;
    s.bHot = 0;
    host.Invalidate(s.rcText);
  }
  label.m_bOverLink = 0;
}

}  // namespace sekato::controls
