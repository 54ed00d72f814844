#include "headingdetector.h"

#include <algorithm>

#include "headingchoice.h"

namespace sekato::engine {

HeadingDetector::HeadingDetector(std::int64_t titleMax)
    : m_titleMax(std::max(titleMax, kMinTitleChars)) {}

void HeadingDetector::Offer(std::int64_t number, std::string_view utf8) {
  if (static_cast<std::int64_t>(utf8.size()) > LongestCandidateBytes()) {
    OfferBody(number);
    return;
  }
  auto candidate = HeadingCandidate::Parse(utf8, m_titleMax);
  if (!candidate) {
    // Blank lines are no body text: a contents block may set its lines apart with them.
    if (!HeadingCandidate::IsBlank(utf8)) OfferBody(number);
    return;
  }
  if (m_candidates.size() >= kMaxCandidates) return;
  // Compared field by field: the key is made once per form, not once per line.
  auto form = std::find_if(m_forms.begin(), m_forms.end(), [&](const FormInfo& info) {
    return info.sample.SameForm(*candidate);
  });
  if (form == m_forms.end()) {
    form = m_forms.insert(m_forms.end(), FormInfo{*candidate, candidate->FormKey(), {}});
  }
  form->members.push_back(m_candidates.size());
  m_candidates.push_back(Candidate{number, static_cast<std::size_t>(form - m_forms.begin()),
                                   candidate->number, candidate->spoken, candidate->chars,
                                   m_bodyPending});
  m_bodyPending = false;
  m_bodyAtEnd = false;
}

void HeadingDetector::OfferBody(std::int64_t /*number*/) {
  m_bodyPending = true;
  m_bodyAtEnd = true;
}

void HeadingDetector::Append(const HeadingDetector& later, std::int64_t shift) {
  // Body text since the last candidate taken: a candidate left out past kMaxCandidates does
  // not end it, here as in Offer.
  bool pending = m_bodyPending;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<std::size_t> forms(later.m_forms.size(), kNone);  // later's form → ours
  m_candidates.reserve(std::min(kMaxCandidates, m_candidates.size() + later.m_candidates.size()));
  for (const Candidate& candidate : later.m_candidates) {
    pending = pending || candidate.bodyBefore;
    if (m_candidates.size() >= kMaxCandidates) continue;
    std::size_t& form = forms[candidate.form];
    if (form == kNone) {
      const FormInfo& info = later.m_forms[candidate.form];
      const auto found = std::find_if(m_forms.begin(), m_forms.end(), [&](const FormInfo& own) {
        return own.sample.SameForm(info.sample);
      });
      form = static_cast<std::size_t>(found - m_forms.begin());
      if (found == m_forms.end()) m_forms.push_back(FormInfo{info.sample, info.key, {}});
    }
    m_forms[form].members.push_back(m_candidates.size());
    Candidate taken = candidate;
    taken.line += shift;
    taken.form = form;
    taken.bodyBefore = pending;
    m_candidates.push_back(taken);
    pending = false;
  }
  m_bodyPending = pending || later.m_bodyPending;
  m_bodyAtEnd = m_bodyPending;
}

HeadingDetection HeadingDetector::Decide() const {
  return HeadingChoice(m_candidates, m_forms, m_bodyAtEnd).Decide();
}

}  // namespace sekato::engine
