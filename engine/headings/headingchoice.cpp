#include "headingchoice.h"

#include <algorithm>
#include <iterator>

#include "formpattern.h"
#include "numberchain.h"

namespace sekato::engine {
namespace {

/// Whether a sorted list holds an element in the open range (after, before).
bool AnyBetween(const std::vector<std::size_t>& sorted, std::size_t after, std::size_t before) {
  const auto first = std::upper_bound(sorted.begin(), sorted.end(), after);
  return first != sorted.end() && *first < before;
}

}  // namespace

HeadingChoice::HeadingChoice(const std::vector<Candidate>& candidates,
                             const std::vector<FormInfo>& forms, bool bodyAtEnd)
    : m_candidates(candidates), m_forms(forms), m_bodyAtEnd(bodyAtEnd) {}

bool HeadingChoice::BodyAfter(std::size_t i) const {
  return i + 1 < m_candidates.size() ? m_candidates[i + 1].bodyBefore : m_bodyAtEnd;
}

bool HeadingChoice::IsSpecial(std::size_t form) const {
  return m_forms[form].sample.kind == HeadingCandidate::Kind::Special;
}

void HeadingChoice::FindContents() {
  // Only in front: before the third heading that body text follows.
  std::size_t headed = 0;
  for (std::size_t i = 0; i < m_candidates.size() && headed < 3;) {
    std::size_t real = i;
    while (real < m_candidates.size() && !BodyAfter(real)) ++real;
    if (real - i >= kMinContents) {
      std::size_t end = real;
      const bool realIsVolume =
          real < m_candidates.size() && m_forms[m_candidates[real].form].sample.CanBeVolume();
      while (!realIsVolume && end > i && m_forms[m_candidates[end - 1].form].sample.CanBeVolume()) {
        --end;
      }
      if (end - i >= kMinContents) {
        m_contentsBegin = i;
        m_contentsEnd = end;
      }
      return;
    }
    ++headed;
    i = real + 1;
  }
}

std::vector<std::size_t> HeadingChoice::Chain(std::size_t form,
                                              const std::vector<std::size_t>* volumes) const {
  std::vector<NumberChain::Link> links;
  std::vector<std::size_t> at;
  std::size_t next = 0;
  for (std::size_t member : m_forms[form].members) {
    if (InContents(member)) continue;
    bool volumeBefore = false;
    while (volumes != nullptr && next < volumes->size() && (*volumes)[next] < member) {
      volumeBefore = true;
      ++next;
    }
    links.push_back({m_candidates[member].number, m_candidates[member].spoken, volumeBefore});
    at.push_back(member);
  }
  std::vector<std::size_t> chain = NumberChain::Longest(links, kMaxGap, volumes != nullptr);
  for (std::size_t& link : chain) link = at[link];
  return chain;
}

std::size_t HeadingChoice::VolumeFor(std::size_t form, std::vector<std::size_t>& chain) const {
  std::size_t best = kNone;
  chain = m_plain[form];
  for (std::size_t volume = 0; volume < m_forms.size(); ++volume) {
    const std::vector<std::size_t>& heads = m_plain[volume];
    // Fewer volumes than chapter lines: compared with the lines, not the chain without
    // volumes, which is short when the numbers start again in every short volume.
    if (volume == form || !m_forms[volume].sample.CanBeVolume() || heads.empty() ||
        heads.size() >= m_forms[form].members.size()) {
      continue;
    }
    // A single volume heading counts only when a chapter heading follows it directly.
    if (heads.size() == 1 && BodyAfter(heads.front())) continue;
    std::vector<std::size_t> withVolumes = Chain(form, &heads);
    const bool between = !withVolumes.empty() && withVolumes.back() > heads.front();
    if (between &&
        (best == kNone ? withVolumes.size() >= chain.size() : withVolumes.size() > chain.size())) {
      best = volume;
      chain = std::move(withVolumes);
    }
  }
  return best;
}

std::vector<std::size_t> HeadingChoice::Specials(const std::vector<std::size_t>& chapters,
                                                 const std::vector<std::size_t>& volumes) const {
  std::vector<std::size_t> taken;
  for (std::size_t form = 0; form < m_forms.size(); ++form) {
    if (!IsSpecial(form)) continue;
    for (std::size_t member : m_forms[form].members) {
      if (InContents(member)) continue;
      const auto next = std::upper_bound(chapters.begin(), chapters.end(), member);
      const bool outside = next == chapters.begin() || next == chapters.end();
      if (outside || AnyBetween(volumes, *(next - 1), *next)) taken.push_back(member);
    }
  }
  return taken;
}

std::int64_t HeadingChoice::FirstNumber(const std::vector<std::size_t>& chapters) const {
  if (chapters.empty()) return 1;
  const Candidate& first = m_candidates[chapters.front()];
  std::int64_t number = first.number;
  // Of two readings ("一百三": 103 or 130), the one the next chapter goes on from.
  if (first.spoken >= 0 && chapters.size() > 1) {
    const Candidate& next = m_candidates[chapters[1]];
    const auto goesOn = [&](std::int64_t from) {
      return (next.number > from && next.number <= from + kMaxGap) ||
             (next.spoken > from && next.spoken <= from + kMaxGap);
    };
    if (!goesOn(number) && goesOn(first.spoken)) number = first.spoken;
  }
  return std::max<std::int64_t>(number, 1);
}

HeadingDetection::Form HeadingChoice::Describe(std::size_t form, std::int64_t lines,
                                               bool specials) const {
  const HeadingCandidate& sample = m_forms[form].sample;
  return {FormPattern::Describe(sample), FormPattern::Pattern(sample, specials),
          FormPattern::Unit(sample), lines};
}

HeadingDetection HeadingChoice::Decide() {
  FindContents();
  m_plain.resize(m_forms.size());
  for (std::size_t form = 0; form < m_forms.size(); ++form) {
    if (!IsSpecial(form)) m_plain[form] = Chain(form, nullptr);
  }
  std::size_t chosen = kNone;
  std::size_t volume = kNone;
  std::vector<std::size_t> chapters;
  for (std::size_t form = 0; form < m_forms.size(); ++form) {
    if (IsSpecial(form) || m_plain[form].empty()) continue;
    std::vector<std::size_t> chain;
    const std::size_t volumeForm = VolumeFor(form, chain);
    // Most lines explained first; then the 第N章 kind, which body text seldom takes.
    const bool better = chosen == kNone || chain.size() > chapters.size() ||
                        (chain.size() == chapters.size() &&
                         m_forms[form].sample.kind == HeadingCandidate::Kind::Numbered &&
                         m_forms[chosen].sample.kind != HeadingCandidate::Kind::Numbered);
    if (better) {
      chosen = form;
      volume = volumeForm;
      chapters = std::move(chain);
    }
  }
  HeadingDetection result;
  if (m_contentsEnd > m_contentsBegin) {
    result.contentsFirst = m_candidates[m_contentsBegin].line;
    result.contentsLast = m_candidates[m_contentsEnd - 1].line;
  }
  const bool enough =
      chosen != kNone &&
      (chapters.size() >= 2 || m_forms[chosen].sample.kind == HeadingCandidate::Kind::Numbered);
  for (std::size_t form = 0; form < m_forms.size(); ++form) {
    if (form != chosen && form != volume && m_plain[form].size() >= 2) {
      result.alternatives.push_back(
          Describe(form, static_cast<std::int64_t>(m_plain[form].size()), false));
    }
  }
  std::stable_sort(result.alternatives.begin(), result.alternatives.end(),
                   [](const auto& a, const auto& b) { return a.lines > b.lines; });
  if (!enough) return result;
  const std::vector<std::size_t> noVolumes;
  const std::vector<std::size_t>& volumes = volume == kNone ? noVolumes : m_plain[volume];
  std::vector<std::size_t> specials = Specials(chapters, volumes);
  result.found = true;
  result.chapters = Describe(chosen, static_cast<std::int64_t>(chapters.size()), !specials.empty());
  if (volume != kNone) {
    result.volumes = Describe(volume, static_cast<std::int64_t>(volumes.size()), false);
  }
  for (std::size_t i = 1; i < chapters.size(); ++i) {
    result.restarts =
        result.restarts || m_candidates[chapters[i]].number <= m_candidates[chapters[i - 1]].number;
  }
  result.firstNumber = FirstNumber(chapters);
  // The chain is in book order already: only the few specials need sorting in.
  std::sort(specials.begin(), specials.end());
  std::vector<std::size_t> taken;
  taken.reserve(chapters.size() + specials.size() + volumes.size());
  std::merge(chapters.begin(), chapters.end(), specials.begin(), specials.end(),
             std::back_inserter(taken));
  for (std::size_t i : taken) result.headingLines.push_back(m_candidates[i].line);
  for (std::size_t i : volumes) result.volumeLines.push_back(m_candidates[i].line);
  taken.insert(taken.end(), volumes.begin(), volumes.end());
  for (std::size_t i : taken) {
    result.longestTitle = std::max(result.longestTitle, m_candidates[i].chars);
  }
  return result;
}

}  // namespace sekato::engine
