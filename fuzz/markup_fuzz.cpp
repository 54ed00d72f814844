// Parses the input as label markup and checks what every parse must give: the plain text is
// the segments' texts joined, line breaks left out, and no segment is empty. Then lays it out
// at a width taken from the input and checks that wrapping kept every character whole: it may
// only add segments that start a character, and the texts still join to the plain text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "markupcanvas.h"
#include "markuplabel.h"
#include "markuplayout.h"

namespace {

using sekato::controls::MarkupCanvas;
using sekato::controls::MarkupColour;
using sekato::controls::MarkupLabel;
using sekato::controls::MarkupSize;

// Ten pixels a byte: a prefix that cuts a character short measures narrower than the whole.
class ByteCanvas final : public MarkupCanvas {
 public:
  void SelectFont(bool) override {}
  void SetTextColour(MarkupColour) override {}
  MarkupSize Extent(std::string_view text) override {
    return MarkupSize{static_cast<int>(text.size()) * 10, 16};
  }
  void TextOut(int, int, std::string_view) override {}
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Checks the segments against the plain text; returns how many start inside a character.
int CheckSegments(const MarkupLabel& label) {
  std::string joined;
  int inside = 0;
  for (const auto& segment : label.m_segments) {
    if (segment.strText.empty()) Fail("markup gave an empty segment");
    if ((static_cast<unsigned char>(segment.strText.front()) & 0xC0u) == 0x80u) ++inside;
    if (!segment.IsLineBreak()) joined += segment.strText;
  }
  if (joined != label.m_strPlain) Fail("plain text is not the segments joined");
  return inside;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MarkupLabel label;
  label.m_strMarkup.assign(reinterpret_cast<const char*>(data), size);
  label.ParseMarkup();
  const int insideBefore = CheckSegments(label);

  ByteCanvas canvas;
  const int width = size == 0 ? 0 : data[0] % 160;
  sekato::controls::MarkupLayout::Paint(label, canvas, width, 40, true);
  if (CheckSegments(label) != insideBefore) Fail("wrapping split a character");
  return 0;
}
