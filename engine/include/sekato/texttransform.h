#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sekato::engine {

/// Which script the text is turned into as it is read, through OpenCC's own tables.
enum class ScriptConversion {
  None,
  S2T,    ///< simplified → traditional
  T2S,    ///< traditional → simplified
  S2TW,   ///< simplified → Taiwan standard
  TW2S,   ///< Taiwan standard → simplified
  S2HK,   ///< simplified → Hong Kong variant
  HK2S,   ///< Hong Kong variant → simplified
  S2TWP,  ///< simplified → Taiwan standard, with Taiwan's own words
  TW2SP,  ///< Taiwan standard with its own words → simplified
};

/// The conversions by the names OpenCC gives their configurations ("s2t", "tw2sp").
struct ScriptConversions {
  static constexpr ScriptConversion kAll[] = {ScriptConversion::S2T,   ScriptConversion::T2S,
                                              ScriptConversion::S2TW,  ScriptConversion::TW2S,
                                              ScriptConversion::S2HK,  ScriptConversion::HK2S,
                                              ScriptConversion::S2TWP, ScriptConversion::TW2SP};
  /// "s2t" for S2T; "" for None.
  static std::string_view Name(ScriptConversion conversion);
  /// S2T for "s2t"; nothing for a name that is none of them.
  static std::optional<ScriptConversion> Parse(std::string_view name);
  /// True when the conversion makes simplified text (T2S, TW2S, HK2S, TW2SP).
  static bool ToSimplified(ScriptConversion conversion);
};

/// One replacement rule as the user wrote it: "PATTERN=>REPLACEMENT", or "PATTERN" alone,
/// which deletes what it finds. UTF-8.
struct ReplaceRuleText {
  std::string pattern;      ///< PCRE2, as the heading rules are written
  std::string replacement;  ///< `$1` and `${name}` stand for groups; empty deletes
  std::int64_t line = 0;    ///< its line in its rules file, or its place among the rules given
  std::string file;         ///< the rules file it came from; empty for one given alone

  /// Reads "PATTERN=>REPLACEMENT" (cut at the first "=>") or "PATTERN".
  /// "本章未完.*=>" and "本章未完.*" both delete; "(\\d+)章=>第$1章" rewrites.
  static ReplaceRuleText Parse(std::string_view text, std::int64_t line, std::string file = {});
  /// The rule as it is written back: "PATTERN=>REPLACEMENT", or the pattern alone.
  std::string Text() const;
};

/// Reads a rules file's text: one rule a line; blank lines and lines starting with "#"
/// (after white space) are skipped; a UTF-8 byte-order mark and CR before LF are dropped.
/// Each rule keeps its line in the file.
std::vector<ReplaceRuleText> ParseRulesFile(std::string_view text, const std::string& file);

}  // namespace sekato::engine
