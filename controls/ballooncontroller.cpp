#include "ballooncontroller.h"

#include <utility>

#include "balloonhost.h"

namespace sekato::controls {

BalloonController::BalloonController(BalloonHost& host) : m_host(host) {}

void BalloonController::ShowDelayed(std::string strText, const BalloonPoint* pPoint) {
  m_ptAnchor = pPoint ? *pPoint : m_host.GetCursorPos();
  m_strText = std::move(strText);
  m_host.SetTimer(IDT_BALLOON_SHOW, m_nShowDelay);
  m_nTimerID = IDT_BALLOON_SHOW;
}

void BalloonController::OnTimer(unsigned nIDEvent) {
  if (nIDEvent == IDT_BALLOON_SHOW) {
    OnShowTimer();
  } else if (nIDEvent == IDT_BALLOON_POLL) {
    OnPollTimer();
  }
}

void BalloonController::OnShowTimer() {
  m_host.KillTimer(m_nTimerID);
  BalloonGeometry geometry = CreateBalloonGeometry();
  // Turned and moved so that it stays on the screen of the anchor.
  const auto placement = geometry.Place(m_ptAnchor, m_host.AvailableArea(m_ptAnchor));
  m_orientation = placement.orientation;
  geometry.SetOrientation(m_orientation);
  m_host.ShowBalloon(geometry, placement.topLeft);
  m_host.SetTimer(IDT_BALLOON_POLL, kPollPeriodMs);
  m_nTimerID = IDT_BALLOON_POLL;
}

void BalloonController::OnPollTimer() {
  if (m_host.GetCursorPos() == m_ptAnchor) return;
  m_host.KillTimer(m_nTimerID);
  m_host.HideBalloon();
}

void BalloonController::OnDestroy() { m_host.KillTimer(m_nTimerID); }

void BalloonController::Relay(Input input, const ArmToolAt& armToolAt) {
  switch (input) {
    case Input::kMouseMove: {
      const BalloonPoint pt = m_host.GetCursorPos();
      if (pt == m_ptAnchor) return;
      if (!armToolAt || !armToolAt(pt)) m_host.HideBalloon();
      return;
    }
    case Input::kButtonDown:
      m_host.HideBalloon();
      return;
    case Input::kOther:
      return;
  }
}

void BalloonController::Cancel() {
  m_host.KillTimer(IDT_BALLOON_SHOW);
  m_host.KillTimer(IDT_BALLOON_POLL);
  m_host.HideBalloon();
}

void BalloonController::SetIconSize(std::optional<BalloonSize> icon) {
  m_bIcon = icon.has_value();
  m_cxIcon = icon ? icon->cx : 0;
  m_cyIcon = icon ? icon->cy : 0;
}

std::optional<BalloonSize> BalloonController::IconSize() const {
  if (!m_bIcon) return std::nullopt;
  return BalloonSize{m_cxIcon, m_cyIcon};
}

BalloonGeometry BalloonController::CreateBalloonGeometry() const {
  const BalloonSize text = BalloonGeometry::MeasureText(
      m_strText, [this](std::string_view line) { return m_host.TextLineWidth(line); },
      m_host.TextLineHeight());
  BalloonGeometry geometry(text, IconSize());
  geometry.SetOrientation(m_orientation);
  return geometry;
}

}  // namespace sekato::controls
