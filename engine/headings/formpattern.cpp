#include "formpattern.h"

#include <map>

namespace sekato::engine {
namespace {

using Kind = HeadingCandidate::Kind;
using Style = HeadingCandidate::Style;

constexpr const char* kSpace = "[ \\t\u3000]";
constexpr const char* kAnyNumber =
    "(?:[0-9]+|[０-９]+|[〇零一二两三四五六七八九十百千万亿壹贰叁肆伍陆柒捌玖拾佰仟萬億兩貳參陸]+)";
/// What may follow a number that ends a heading's numbering: the line's end, a separator, a
/// closing bracket.
constexpr const char* kAfterNumber = "(?=$|[ \\t\u3000、．.：:_—】〕〗］」』（(])";

std::string Digits(Style style) {
  switch (style) {
    case Style::Arabic:
      return "[0-9]+";
    case Style::FullWidth:
      return "[０-９]+";
    case Style::Chinese:
      return "[〇零一二两三四五六七八九十百千万亿壹贰叁肆伍陆柒捌玖拾佰仟萬億兩貳參陸]+";
    case Style::None:
      break;
  }
  return kAnyNumber;
}

std::string StyleName(Style style) {
  switch (style) {
    case Style::Arabic:
      return "数字";
    case Style::FullWidth:
      return "全角数字";
    case Style::Chinese:
      return "中文数字";
    case Style::None:
      break;
  }
  return "";
}

std::string Decoration(const std::string& mark) {
  if (mark.empty()) return "";
  if (mark == "=") return std::string("=+") + kSpace + "*";
  if (mark == "*") return std::string("\\*+") + kSpace + "*";
  if (mark == "☆") return std::string("[☆★]+") + kSpace + "*";
  return mark + kSpace + "*";
}

std::string Closing(const std::string& mark) {
  static const std::map<std::string, std::string> kClose = {
      {"【", "】"}, {"〔", "〕"}, {"〖", "〗"}, {"［", "］"}, {"「", "」"},
      {"『", "』"}, {"=", "==="}, {"*", "***"}, {"☆", "☆"}};
  const auto found = kClose.find(mark);
  return found == kClose.end() ? "" : found->second;
}

/// Characters after a unit that make an everyday word of it, left out as HeadingCandidate
/// leaves them out.
std::string WordGuard(const std::string& unit) {
  const std::string_view makers = HeadingCandidate::WordMakers(unit);
  return makers.empty() ? "" : "(?![" + std::string(makers) + "])";
}

std::string Separator(const std::string& unit) {
  if (unit == " ") return std::string(kSpace) + "+";
  if (unit == "—") return "—+";
  if (unit == ".") return "\\.";
  return unit;
}

std::string Numbered(const HeadingCandidate& form) {
  const std::string number = std::string("(?<n>") + Digits(form.style) + ")";
  switch (form.kind) {
    case Kind::Numbered:
      return std::string("第") + kSpace + "*" + number + kSpace + "*" + form.unit +
             WordGuard(form.unit);
    case Kind::Separated:
      return number + Separator(form.unit) + "(?!" + kSpace + "*" + kAnyNumber + ")";
    case Kind::Prefixed:
      return form.unit + kSpace + (form.unit == "卷" ? "*" : "+") + number + kAfterNumber;
    case Kind::Special:
      break;
  }
  return "";
}

}  // namespace

std::string FormPattern::Describe(const HeadingCandidate& form) {
  std::string text;
  switch (form.kind) {
    case Kind::Numbered:
      text = "第N" + form.unit;
      break;
    case Kind::Separated:
      text = form.unit == " " ? "N 标题" : "N" + form.unit;
      break;
    case Kind::Prefixed:
      text = form.unit == "卷" ? "卷N" : form.unit + " N";
      break;
    case Kind::Special:
      return "楔子、番外等";
  }
  const std::string& mark = form.decoration;
  const bool run = mark == "=" || mark == "*";
  text = (run ? mark + mark + mark : mark) + text + Closing(mark);
  if (form.kind == Kind::Numbered && form.style != Style::None) {
    text += "（" + StyleName(form.style) + "）";
  }
  return text;
}

std::string FormPattern::Unit(const HeadingCandidate& form) {
  if (form.kind == Kind::Numbered) return form.unit;
  return form.kind == Kind::Prefixed && form.unit == "卷" ? "卷" : "章";
}

std::string FormPattern::Specials() {
  return std::string("(?:完本感言|序章|序言|楔子|引子|前言|终章|終章|尾声|尾聲|后记|後記|番外篇?") +
         kSpace + "*" + kAnyNumber + "?|后序|後序|附录|附錄|序)" + kAfterNumber;
}

std::string FormPattern::Pattern(const HeadingCandidate& form, bool specials) {
  std::string body = Decoration(form.decoration) + Numbered(form);
  if (specials) {
    body =
        std::string("(?:(?:[【〔〖［「『=*☆★]+") + kSpace + "*)?" + Specials() + "|" + body + ")";
  }
  return std::string("^(?!.*[。！？”；，\"]") + kSpace + "*$)" + kSpace + "*" + body;
}

}  // namespace sekato::engine
