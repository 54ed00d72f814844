#include "sekato/texttransform.h"

namespace sekato::engine {

namespace {

constexpr std::string_view kArrow = "=>";

struct Named {
  ScriptConversion conversion;
  std::string_view name;
};

constexpr Named kNames[] = {
    {ScriptConversion::S2T, "s2t"},     {ScriptConversion::T2S, "t2s"},
    {ScriptConversion::S2TW, "s2tw"},   {ScriptConversion::TW2S, "tw2s"},
    {ScriptConversion::S2HK, "s2hk"},   {ScriptConversion::HK2S, "hk2s"},
    {ScriptConversion::S2TWP, "s2twp"}, {ScriptConversion::TW2SP, "tw2sp"},
};

}  // namespace

std::string_view ScriptConversions::Name(ScriptConversion conversion) {
  for (const Named& named : kNames) {
    if (named.conversion == conversion) return named.name;
  }
  return {};
}

std::optional<ScriptConversion> ScriptConversions::Parse(std::string_view name) {
  for (const Named& named : kNames) {
    if (named.name == name) return named.conversion;
  }
  return std::nullopt;
}

bool ScriptConversions::ToSimplified(ScriptConversion conversion) {
  return Name(conversion).ends_with("2s") || conversion == ScriptConversion::TW2SP;
}

ReplaceRuleText ReplaceRuleText::Parse(std::string_view text, std::int64_t line, std::string file) {
  ReplaceRuleText rule;
  rule.line = line;
  rule.file = std::move(file);
  const std::size_t arrow = text.find(kArrow);
  if (arrow == std::string_view::npos) {
    rule.pattern = std::string(text);
  } else {
    rule.pattern = std::string(text.substr(0, arrow));
    rule.replacement = std::string(text.substr(arrow + kArrow.size()));
  }
  return rule;
}

std::string ReplaceRuleText::Text() const {
  if (replacement.empty()) return pattern;
  return pattern + std::string(kArrow) + replacement;
}

std::vector<ReplaceRuleText> ParseRulesFile(std::string_view text, const std::string& file) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (text.starts_with(kMark)) text.remove_prefix(kMark.size());
  std::vector<ReplaceRuleText> rules;
  std::int64_t number = 0;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    rules.push_back(ReplaceRuleText::Parse(line, number, file));
  }
  return rules;
}

}  // namespace sekato::engine
