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

HeadingDetection HeadingDetector::Decide() const {
  return HeadingChoice(m_candidates, m_forms, m_bodyAtEnd).Decide();
}

}  // namespace sekato::engine
