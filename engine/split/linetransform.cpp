#include "linetransform.h"

#include <algorithm>

namespace sekato::engine {

namespace {

// Where a rule is named in a message: "“rules.txt”第 3 行", or "第 2 条" for one given alone.
std::string RulePlace(const ReplaceRuleText& rule) {
  if (rule.file.empty()) return "第 " + std::to_string(rule.line) + " 条";
  return "“" + rule.file + "”第 " + std::to_string(rule.line) + " 行";
}

std::unique_ptr<ReplaceRule> CompileRule(const ReplaceRuleText& rule, Message& message) {
  RegexPattern::Error error;
  auto compiled = ReplaceRule::Compile(rule.pattern, rule.replacement, error);
  if (!compiled) {
    message = {MessageId::BadReplaceRule,
               {RulePlace(rule), rule.pattern, std::to_string(error.offset), error.text}};
  }
  return compiled;
}

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

std::optional<Message> LineTransform::Refusal(const SplitOptions& options) {
  Message message;
  for (const ReplaceRuleText& rule : options.replaceRules) {
    if (rule.pattern.empty()) {
      return Message{MessageId::BadReplaceRule,
                     {RulePlace(rule), rule.pattern, "0", "empty pattern"}};
    }
    if (!CompileRule(rule, message)) return message;
  }
  return std::nullopt;
}

std::unique_ptr<LineTransform> LineTransform::Make(const SplitOptions& options, Message& message) {
  std::unique_ptr<LineTransform> transform(new LineTransform);
  for (const ReplaceRuleText& rule : options.replaceRules) {
    auto compiled = CompileRule(rule, message);
    if (!compiled) return nullptr;
    transform->m_bSifts = transform->m_bSifts && compiled->Sifts();
    transform->m_rules.push_back(std::move(compiled));
  }
  transform->m_counts.assign(transform->m_rules.size(), 0);
  if (options.convert != ScriptConversion::None) {
    std::string error;
    transform->m_converter = ScriptConverter::Open(options.convert, error);
    if (!transform->m_converter) {
      message = {MessageId::NoConversion,
                 {std::string(ScriptConversions::Name(options.convert)), error}};
      return nullptr;
    }
    transform->m_bSifts = false;
  }
  return transform;
}

std::vector<std::string> LineTransform::Literals() const {
  std::vector<std::string> literals;
  for (const auto& rule : m_rules) literals.push_back(rule->Literal());
  return literals;
}

bool LineTransform::Apply(std::string_view line, std::string& out, std::string& error) {
  if (line.size() <= kPartLimit) return ApplyPart(line, out, error);
  out.clear();
  while (!line.empty()) {
    const std::size_t cut = CutPoint(line, kPartLimit);
    if (!ApplyPart(line.substr(0, cut), m_part, error)) return false;
    out += m_part;
    line.remove_prefix(cut);
  }
  return true;
}

bool LineTransform::ApplyPart(std::string_view part, std::string& out, std::string& error) {
  m_work.assign(part);
  for (std::size_t i = 0; i < m_rules.size(); ++i) {
    const ReplaceRule& rule = *m_rules[i];
    if (rule.Sifts() && m_work.find(rule.Literal()) == std::string::npos) continue;
    const std::int64_t count = rule.Apply(m_work, m_next, error);
    if (count < 0) return false;
    if (count == 0) continue;
    m_counts[i] += count;
    m_work.swap(m_next);
  }
  // A replacement may make a line break ("\\n" in it): the line stays one line, so that
  // line numbers stay the book's.
  if (m_work.find_first_of("\r\n") != std::string::npos) {
    std::erase_if(m_work, [](char c) { return c == '\r' || c == '\n'; });
  }
  if (m_converter) {
    m_converter->Convert(m_work, out);
  } else {
    out.swap(m_work);
  }
  return true;
}

std::size_t LineTransform::CutPoint(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  static constexpr std::string_view kEnds[] = {"。", "！", "？", "…"};
  const std::string_view window = text.substr(0, limit);
  std::size_t best = 0;
  for (const std::string_view end : kEnds) {
    const std::size_t at = window.rfind(end);
    if (at != std::string_view::npos) best = std::max(best, at + end.size());
  }
  if (best > 0) return best;
  std::size_t cut = limit;
  while (cut > 0 && IsContinuation(text[cut])) --cut;
  // Not UTF-8 at all: any byte is as good a place as another.
  return cut > 0 ? cut : limit;
}

}  // namespace sekato::engine
