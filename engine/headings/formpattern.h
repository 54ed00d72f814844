#pragma once

#include <string>

#include "headingcandidate.h"

namespace sekato::engine {

/// A heading form written out for people: a short description and a regular expression
/// (PCRE2, UTF-8) that takes the lines of that form, with the number in the group `n`.
///
/// The form of "【第十二章】 回忆" is described as "【第N章】（中文数字）" and written as
///   ^(?!.*[。！？”；，"][ \t　]*$)[ \t　]*【[ \t　]*第[ \t　]*(?<n>[〇零一…]+)[ \t　]*章(?![节程])
/// The expression leaves out what HeadingCandidate leaves out (sentence ends, 章节, 回合…),
/// so running it takes the lines detection took.
class FormPattern final {
 public:
  /// "第N章（中文数字）", "N、", "Chapter N".
  static std::string Describe(const HeadingCandidate& form);
  /// The expression for the lines of `form`; with `specials`, special headings (楔子, 后记,
  /// 番外二 …) too, which match without a group n.
  static std::string Pattern(const HeadingCandidate& form, bool specials);
  /// What one heading of `form` is called: its unit for 第N回 and its kin, else "章".
  static std::string Unit(const HeadingCandidate& form);
  /// The expression for special headings alone.
  static std::string Specials();
};

}  // namespace sekato::engine
