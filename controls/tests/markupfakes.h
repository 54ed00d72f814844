#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "markupcanvas.h"
#include "markuppointerhost.h"

namespace sekato::controls::testing {

/// A monospaced font: every byte (not every character) 10 px wide except the CR and LF of a line
/// break, 16 px high.
class FakeCanvas final : public MarkupCanvas {
 public:
  struct Draw {
    int x;
    int y;
    std::string text;
    MarkupColour colour;
    bool underline;
  };

  static constexpr int kByteWidth = 10;
  static constexpr int kLineHeight = 16;

  void SelectFont(bool underline) override { m_bUnderline = underline; }
  void SetTextColour(MarkupColour colour) override { m_crColour = colour; }
  MarkupSize Extent(std::string_view text) override {
    int width = 0;
    for (char b : text) width += (b == '\r' || b == '\n') ? 0 : kByteWidth;
    return MarkupSize{width, kLineHeight};
  }
  void TextOut(int x, int y, std::string_view text) override {
    draws.push_back(Draw{x, y, std::string(text), m_crColour, m_bUnderline});
  }

  std::vector<Draw> draws;

 private:
  bool m_bUnderline = false;
  MarkupColour m_crColour = 0;
};

/// Records what the pointer logic asks of the window system.
class FakeHost final : public MarkupPointerHost {
 public:
  void CapturePointer() override {
    ++captures;
    captured = true;
  }
  void ReleasePointer() override {
    ++releases;
    captured = false;
  }
  void Invalidate(const MarkupRect& rect) override { invalidated.push_back(rect); }
  void InvalidateAll() override { ++invalidatedAll; }
  void UpdateNow() override { ++updatesNow; }
  bool OpenLink(const std::string& link) override {
    opened.push_back(link);
    return openSucceeds;
  }
  bool ParentIsCaptionlessWindow() const override { return captionless; }
  void StartParentDrag(MarkupPoint p) override { drags.push_back(p); }

  bool captured = false;
  int captures = 0;
  int releases = 0;
  std::vector<MarkupRect> invalidated;
  int invalidatedAll = 0;
  int updatesNow = 0;
  std::vector<std::string> opened;
  bool openSucceeds = true;
  bool captionless = false;
  std::vector<MarkupPoint> drags;
};

}  // namespace sekato::controls::testing
