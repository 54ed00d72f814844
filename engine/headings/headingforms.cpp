#include "headingforms.h"

#include <algorithm>

#include "asciitext.h"
#include "gbktext.h"
#include "numeralreader.h"

namespace sekato::engine {

namespace {

constexpr std::string_view kDi = "\xB5\xDA";  // 第
// The character after 第N for forms 0–3, their labels and keywords.
constexpr std::array<std::string_view, 4> kUnits = {"\xD5\xC2", "\xBB\xD8", "\xBD\xDA",
                                                    "\xBE\xED"};  // 章 回 节 卷
constexpr std::array<std::string_view, 5> kLabels = {"第N章", "第N回", "第N节", "第N卷",
                                                     "Chapter N"};
constexpr std::size_t kChapter = 4;

bool StartsWithChapter(std::string_view line) {
  line = AsciiText::Trim(line);
  for (const std::string_view word : {"Chapter", "CHAPTER"}) {
    if (line.substr(0, word.size()) != word) continue;
    std::size_t pos = word.size();
    while (pos < line.size() && line[pos] == ' ') ++pos;
    return pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
  }
  return false;
}

}  // namespace

void HeadingForms::Add(std::string_view line) {
  if (line.size() > kMaxLineBytes) return;
  std::array<bool, kForms> found{};
  for (std::size_t at = GbkText::Find(line, kDi, 0); at != GbkText::npos;
       at = GbkText::Find(line, kDi, at + kDi.size())) {
    std::size_t end = 0;
    std::int64_t value = 0;
    if (!NumeralReader::ReadAny(line, at + kDi.size(), end, value) ||
        value == NumeralReader::kUnreadable) {
      continue;
    }
    for (std::size_t form = 0; form < kUnits.size(); ++form) {
      if (line.substr(end, kUnits[form].size()) == kUnits[form]) found[form] = true;
    }
  }
  found[kChapter] = StartsWithChapter(line);
  for (std::size_t form = 0; form < kForms; ++form) {
    if (!found[form]) continue;
    ++m_lines[form];
    m_longest[form] = std::max(m_longest[form], static_cast<std::int64_t>(line.size()));
  }
}

std::vector<HeadingForm> HeadingForms::Forms(std::int64_t titleMax) const {
  std::vector<HeadingForm> forms;
  for (std::size_t form = 0; form < kForms; ++form) {
    if (m_lines[form] == 0) continue;
    HeadingForm f;
    f.label = std::string(kLabels[form]);
    f.lines = m_lines[form];
    f.keywords = form == kChapter ? std::string("Chapter")
                                  : std::string(kDi) + " " + std::string(kUnits[form]);
    f.titleMax = std::max(titleMax, (m_longest[form] + 1) / 2);
    forms.push_back(std::move(f));
  }
  std::stable_sort(forms.begin(), forms.end(),
                   [](const HeadingForm& a, const HeadingForm& b) { return a.lines > b.lines; });
  return forms;
}

}  // namespace sekato::engine
