// Parses the input as label markup and checks what every parse must give: the plain text is
// the segments' texts joined, line breaks left out, and no segment is empty.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "markuplabel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sekato::controls::MarkupLabel label;
  label.m_strMarkup.assign(reinterpret_cast<const char*>(data), size);
  label.ParseMarkup();
  std::string joined;
  for (const auto& segment : label.m_segments) {
    if (segment.strText.empty()) {
      std::fprintf(stderr, "markup gave an empty segment\n");
      std::abort();
    }
    if (!segment.IsLineBreak()) joined += segment.strText;
  }
  if (joined != label.m_strPlain) {
    std::fprintf(stderr, "plain text is not the segments joined\n");
    std::abort();
  }
  return 0;
}
