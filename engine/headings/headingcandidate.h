#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sekato::engine {

/// A line that looks like a chapter heading, as automatic detection sees it, and the form it
/// is written in: what stands around its number.
///
/// Lines are UTF-8. A candidate is short (at most `maxChars` characters once ASCII and
/// full-width white space are trimmed) and holds, after optional decoration (【】〔〕〖〗［］
/// 「」『』 around it, or a run of = * ☆ ★ in front), one of:
///  - 第N + one of 章回节卷集部篇话幕册: "第十二章 回忆", "【第1章】开端", "第 001 回";
///  - N + a separator (、．.：:_— or a space) + text: "12、夜雨", "三：归来";
///  - Chapter / CHAPTER / Section / Part / Episode N, or 卷N: "Chapter 7 Rain", "卷三 风起";
///  - a special heading alone or with a short title: 序章, 序言, 序, 楔子, 引子, 前言, 终章,
///    尾声, 后记, 番外 (N), 完本感言, 后序, 附录: "楔子", "番外二 旧事", "后记：写在最后".
/// N is a run of ASCII digits, full-width digits or Chinese numerals ("001", "１２",
/// "一百零三").
///
/// Body text that starts like a heading is left out: a line that ends a sentence (。！？ or
/// a closing quote), and the unit followed by a character that makes an everyday word of it
/// ("第七回合，他输了。", "第一节课", "第二集合点"), and a separator followed by a digit ("3.5
/// 公斤").
class HeadingCandidate final {
 public:
  /// What kind of heading form the line holds.
  enum class Kind {
    Numbered,   ///< 第N章 and its kin; `unit` is the unit character
    Separated,  ///< N、text; `unit` is the separator ("、", "." or " " for any space)
    Prefixed,   ///< Chapter N, 卷N; `unit` is the word before the number
    Special,    ///< 楔子, 后记, …; `unit` is the word
  };
  /// How the number is written.
  enum class Style { None, Arabic, FullWidth, Chinese };

  /// The candidate `line` holds, if any; `maxChars` is the longest a heading may be.
  static std::optional<HeadingCandidate> Parse(std::string_view line, std::int64_t maxChars);

  Kind kind = Kind::Special;
  Style style = Style::None;
  std::string unit;          ///< see Kind
  std::string decoration;    ///< "" or the opening mark: "【", "=", "*", "☆"
  std::int64_t number = -1;  ///< the chapter number; -1 for none or unreadable
  /// The number read as spoken when that differs: "一百三" is 103, or 130 spoken.
  std::int64_t spoken = -1;
  std::int64_t chars = 0;  ///< characters of the trimmed line
  /// The title after the number and unit, trimmed ("第一章　风起" → "风起").
  std::string title;

  /// The characters that make an everyday word of `unit` when they follow it, so that the
  /// line is body text: "回" → "合家来去到头应答复" (回合, 回家 …); "" for other units.
  static std::string_view WordMakers(std::string_view unit);

  /// True when `line` holds only white space (ASCII or full-width).
  static bool IsBlank(std::string_view line);

  /// True for a form that can head volumes: 第N卷/部/篇/册 and 卷N.
  bool CanBeVolume() const;
  /// The form as one string, equal for lines written the same way around their numbers:
  /// "第一章 风起" and "第十二章" share it, "第1章" has another (its digits differ).
  std::string FormKey() const;
  /// True when `other` has the same FormKey.
  bool SameForm(const HeadingCandidate& other) const;
};

}  // namespace sekato::engine
