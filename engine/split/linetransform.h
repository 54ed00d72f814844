#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "replacerule.h"
#include "scriptconverter.h"
#include "sekato/message.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

/// What happens to each line of the book's text before it is measured, matched or written:
/// the replacement rules in their order, then the script conversion. Works on UTF-8 lines
/// without their line break, so a rule never joins two lines.
///
/// A line longer than kPartLimit goes in parts, cut after the last sentence end (。！？…)
/// within the limit, or else at a character boundary; no rule or phrase sees across a cut.
/// Example: rules "本章未完.*" and "(\\d+)章=>第$1章" turn "12章 开端本章未完，请翻页" into
/// "第12章 开端"; the counts are then 1 and 1.
class LineTransform final {
 public:
  static constexpr std::size_t kPartLimit = std::size_t{1} << 20;

  /// Why the rules of `options` cannot be used (a pattern that does not compile, with its
  /// rule's line and PCRE2's text); nothing when they can.
  static std::optional<Message> Refusal(const SplitOptions& options);
  /// The transform of `options`; nothing, with `message` set, when a rule does not compile
  /// or OpenCC cannot load the conversion.
  static std::unique_ptr<LineTransform> Make(const SplitOptions& options, Message& message);

  /// True when only rules that sift are active: a line holding none of their literals
  /// (see Literals) passes unchanged.
  bool Sifts() const { return m_bSifts; }
  /// The rules' literals, UTF-8; meaningful when Sifts().
  std::vector<std::string> Literals() const;

  /// `line` transformed into `out`. False, with `error` set, when a replacement fails.
  bool Apply(std::string_view line, std::string& out, std::string& error);
  /// Replacements made by each rule so far, in the rules' order.
  const std::vector<std::int64_t>& Counts() const { return m_counts; }

  /// Where a part of at most `limit` bytes of the UTF-8 `text` ends: after the last
  /// sentence end in it, else at the last character boundary; `text.size()` when it fits.
  static std::size_t CutPoint(std::string_view text, std::size_t limit);

 private:
  LineTransform() = default;
  bool ApplyPart(std::string_view part, std::string& out, std::string& error);

  std::vector<std::unique_ptr<ReplaceRule>> m_rules;
  std::vector<std::int64_t> m_counts;
  std::unique_ptr<ScriptConverter> m_converter;
  bool m_bSifts = true;
  std::string m_work;
  std::string m_next;
  std::string m_part;
};

}  // namespace sekato::engine
