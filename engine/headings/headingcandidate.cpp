#include "headingcandidate.h"

#include <array>
#include <charconv>
#include <unordered_map>

#include "numeralreader.h"
#include "textcodec.h"

namespace sekato::engine {
namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

/// Bytes of the UTF-8 character that starts at `pos` (1 for a stray byte).
std::size_t CharSize(std::string_view s, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  std::size_t size = 1;
  if (lead >= 0xF0) {
    size = 4;
  } else if (lead >= 0xE0) {
    size = 3;
  } else if (lead >= 0xC0) {
    size = 2;
  }
  return pos + size <= s.size() ? size : 1;
}

std::string_view CharAt(std::string_view s, std::size_t pos) {
  return pos < s.size() ? s.substr(pos, CharSize(s, pos)) : std::string_view();
}

std::int64_t CountChars(std::string_view s) {
  std::int64_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += CharSize(s, pos)) ++count;
  return count;
}

/// ASCII white space, the no-break space or the ideographic space, told by their bytes: every
/// character of a heading's edges is looked at here.
bool IsSpace(std::string_view ch) {
  switch (ch.size()) {
    case 1:
      return ch[0] == ' ' || ch[0] == '\t' || ch[0] == '\r';
    case 2:
      return ch[0] == '\xC2' && ch[1] == '\xA0';
    case 3:
      return ch[0] == kIdeographicSpace[0] && ch[1] == kIdeographicSpace[1] &&
             ch[2] == kIdeographicSpace[2];
    default:
      return false;
  }
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsSpace(CharAt(s, 0))) s.remove_prefix(CharSize(s, 0));
  return s;
}

/// The last character of `s` (which is valid UTF-8 up to its end).
std::string_view LastChar(std::string_view s) {
  std::size_t pos = s.size();
  while (pos > 0 && (static_cast<unsigned char>(s[pos - 1]) & 0xC0) == 0x80) --pos;
  return pos > 0 ? s.substr(pos - 1) : s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsSpace(LastChar(s))) s.remove_suffix(LastChar(s).size());
  return s;
}

/// True when `a` and `b` hold the same bytes. Compared in place: the strings are a character
/// or two, where a call to memcmp costs more than the comparison.
inline bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

template <std::size_t N>
bool OneOf(std::string_view ch, const std::array<std::string_view, N>& set) {
  for (std::string_view item : set) {
    if (Same(ch, item)) return true;
  }
  return false;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && Same(s.substr(0, prefix.size()), prefix);
}

constexpr std::array<std::string_view, 33> kChineseNumerals = {
    "〇", "零", "一", "二", "两", "三", "四", "五", "六", "七", "八",
    "九", "十", "百", "千", "万", "亿", "壹", "贰", "叁", "肆", "伍",
    "陆", "柒", "捌", "玖", "拾", "佰", "仟", "萬", "億", "兩", "貳"};
constexpr std::array<std::string_view, 2> kMoreChineseNumerals = {"參", "陸"};

/// The code point of a three-byte UTF-8 character, 0 for any other: every Chinese numeral and
/// full-width digit is one, and a number is compared faster than its bytes.
constexpr char32_t WideChar(std::string_view ch) {
  if (ch.size() != 3) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(ch[i])); };
  return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
}

constexpr std::size_t kNumeralCount = kChineseNumerals.size() + kMoreChineseNumerals.size();
constexpr std::array<char32_t, kNumeralCount> kNumeralCodes = [] {
  std::array<char32_t, kNumeralCount> codes{};
  std::size_t i = 0;
  for (std::string_view numeral : kChineseNumerals) codes[i++] = WideChar(numeral);
  for (std::string_view numeral : kMoreChineseNumerals) codes[i++] = WideChar(numeral);
  return codes;
}();

/// Where `ch` stands among the Chinese numerals (kChineseNumerals, then the more), or -1.
int NumeralIndex(std::string_view ch) {
  const char32_t code = WideChar(ch);
  if (code == 0) return -1;
  for (std::size_t i = 0; i < kNumeralCodes.size(); ++i) {
    if (kNumeralCodes[i] == code) return static_cast<int>(i);
  }
  return -1;
}

HeadingCandidate::Style StyleOf(std::string_view ch) {
  using Style = HeadingCandidate::Style;
  if (ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9') return Style::Arabic;
  const char32_t code = WideChar(ch);
  if (code >= U'０' && code <= U'９') return Style::FullWidth;
  if (NumeralIndex(ch) >= 0) return Style::Chinese;
  return Style::None;
}

/// The Chinese numeral `utf8` as GB18030, where NumeralReader reads it. The table is made
/// once, on first use, and only read after: every candidate's number passes here.
std::string_view ToMatchText(std::string_view utf8) {
  static const std::array<std::string, kNumeralCount> kKnown = [] {
    std::array<std::string, kNumeralCount> known;
    std::size_t i = 0;
    const auto add = [&](std::string_view numeral) {
      known[i++] = TextCodec::Convert(numeral, Encoding::Utf8, Encoding::Gb18030).value_or("");
    };
    for (std::string_view numeral : kChineseNumerals) add(numeral);
    for (std::string_view numeral : kMoreChineseNumerals) add(numeral);
    return known;
  }();
  const int index = NumeralIndex(utf8);
  return index < 0 ? std::string_view() : std::string_view(kKnown[static_cast<std::size_t>(index)]);
}

/// The value of the digit run `run` (ASCII or full-width); -1 when unreadable.
std::int64_t DigitValue(std::string_view run) {
  std::string digits;
  for (std::size_t pos = 0; pos < run.size(); pos += CharSize(run, pos)) {
    const std::string_view ch = CharAt(run, pos);
    digits += ch.size() == 1 ? ch[0] : static_cast<char>('0' + (ch[2] - "０"[2]));
  }
  std::int64_t value = -1;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : -1;
}

/// Reads `run` into the candidate's number and, for Chinese numerals, its spoken reading
/// ("一百三" is 103, or 130 spoken); both from one conversion of the run.
void ReadNumber(std::string_view run, HeadingCandidate& out) {
  if (out.style != HeadingCandidate::Style::Chinese) {
    out.number = DigitValue(run);
    return;
  }
  std::string digits;
  for (std::size_t pos = 0; pos < run.size(); pos += CharSize(run, pos)) {
    digits += ToMatchText(CharAt(run, pos));
  }
  out.number = NumeralReader::Value(digits, Numerals::Series::Chinese);
  const std::int64_t spoken = NumeralReader::SpokenValue(digits, Numerals::Series::Chinese);
  if (spoken != out.number) out.spoken = spoken;
}

/// The numeral run at the start of `s`, all of one style.
std::string_view NumeralRun(std::string_view s, HeadingCandidate::Style& style) {
  style = s.empty() ? HeadingCandidate::Style::None : StyleOf(CharAt(s, 0));
  std::size_t end = 0;
  while (end < s.size() && style != HeadingCandidate::Style::None &&
         StyleOf(CharAt(s, end)) == style) {
    end += CharSize(s, end);
  }
  return s.substr(0, end);
}

constexpr std::array<std::string_view, 11> kUnits = {"章", "回", "节", "卷", "集", "部",
                                                     "篇", "话", "幕", "册", "節"};

/// Characters that make an everyday word of a unit when they follow it: 回合, 节课, 部队.
bool MakesWord(std::string_view unit, std::string_view next) {
  return !next.empty() && HeadingCandidate::WordMakers(unit).find(next) != std::string_view::npos;
}

constexpr std::array<std::string_view, 10> kSeparators = {"、", "．", ".", "：", ":",
                                                          "_",  "—",  " ", "\t", "\u3000"};

/// The separator at the start of `s` as the form names it ("" when none): any white space
/// is " ", a run of dashes is one "—".
std::string_view SeparatorAt(std::string_view s, std::size_t& size) {
  const std::string_view ch = CharAt(s, 0);
  size = ch.size();
  if (!OneOf(ch, kSeparators)) return {};
  if (IsSpace(ch)) return " ";
  if (ch == "—") {
    while (CharAt(s, size) == "—") size += ch.size();
  }
  return ch;
}

bool EndsSentence(std::string_view s) {
  static constexpr std::array<std::string_view, 7> kEnds = {"。", "！", "？", "”",
                                                            "；", "，", "\""};
  return OneOf(LastChar(s), kEnds);
}

/// Text that closes a heading's decoration or trims its title.
std::string_view StripTitle(std::string_view title) {
  static constexpr std::array<std::string_view, 12> kMarks = {"】", "〕", "〗", "］", "」", "』",
                                                              "=",  "*",  "☆",  "★",  "：", ":"};
  title = TrimLeft(title);
  while (!title.empty() && OneOf(CharAt(title, 0), kMarks)) {
    title = TrimLeft(title.substr(CharSize(title, 0)));
  }
  title = TrimRight(title);
  while (!title.empty() && OneOf(LastChar(title), kMarks)) {
    title = TrimRight(title.substr(0, title.size() - LastChar(title).size()));
  }
  return title;
}

/// Removes decoration in front of `rest` (and its closing run at the end), noting it.
bool StripDecoration(std::string_view& rest, std::string& decoration) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kPairs = {
      {{"【", "】"}, {"〔", "〕"}, {"〖", "〗"}, {"［", "］"}, {"「", "」"}, {"『", "』"}}};
  const std::string_view first = CharAt(rest, 0);
  for (const auto& [open, close] : kPairs) {
    if (first != open) continue;
    if (rest.find(close) == std::string_view::npos) return false;
    decoration = open;
    rest = TrimLeft(rest.substr(open.size()));
    return true;
  }
  static constexpr std::array<std::string_view, 4> kRuns = {"=", "*", "☆", "★"};
  if (!OneOf(first, kRuns)) return true;
  decoration = first == "★" ? "☆" : std::string(first);
  while (!rest.empty() && OneOf(CharAt(rest, 0), kRuns)) rest.remove_prefix(CharSize(rest, 0));
  while (!rest.empty() && OneOf(LastChar(rest), kRuns)) {
    rest.remove_suffix(LastChar(rest).size());
  }
  rest = TrimRight(TrimLeft(rest));
  return !rest.empty();
}

bool ParseNumbered(std::string_view rest, HeadingCandidate& out) {
  if (!StartsWith(rest, "第")) return false;
  rest = TrimLeft(rest.substr(std::string_view("第").size()));
  const std::string_view run = NumeralRun(rest, out.style);
  if (run.empty()) return false;
  rest = TrimLeft(rest.substr(run.size()));
  const std::string_view unit = CharAt(rest, 0);
  if (!OneOf(unit, kUnits)) return false;
  rest.remove_prefix(unit.size());
  if (MakesWord(unit, CharAt(rest, 0))) return false;
  out.kind = HeadingCandidate::Kind::Numbered;
  out.unit = unit;
  ReadNumber(run, out);
  out.title = StripTitle(rest);
  return true;
}

bool ParseSeparated(std::string_view rest, HeadingCandidate& out) {
  const std::string_view run = NumeralRun(rest, out.style);
  if (run.empty()) return false;
  rest.remove_prefix(run.size());
  std::size_t size = 0;
  const std::string_view separator = SeparatorAt(rest, size);
  if (separator.empty()) return false;
  rest = TrimLeft(rest.substr(size));
  if (rest.empty() || StyleOf(CharAt(rest, 0)) != HeadingCandidate::Style::None) return false;
  out.kind = HeadingCandidate::Kind::Separated;
  out.unit = separator;
  ReadNumber(run, out);
  out.title = StripTitle(rest);
  return true;
}

bool ParsePrefixed(std::string_view rest, HeadingCandidate& out) {
  static constexpr std::array<std::string_view, 9> kWords = {
      "Chapter", "CHAPTER", "Section", "SECTION", "Part", "PART", "Episode", "EPISODE", "卷"};
  for (std::string_view word : kWords) {
    if (!StartsWith(rest, word)) continue;
    std::string_view after = rest.substr(word.size());
    const bool latin = word != "卷";
    if (latin && (after.empty() || !IsSpace(CharAt(after, 0)))) return false;
    after = TrimLeft(after);
    const std::string_view run = NumeralRun(after, out.style);
    if (run.empty()) return false;
    after.remove_prefix(run.size());
    std::size_t size = 0;
    if (!after.empty() && SeparatorAt(after, size).empty() && CharAt(after, 0) != "】") {
      return false;
    }
    out.kind = HeadingCandidate::Kind::Prefixed;
    out.unit = word;
    ReadNumber(run, out);
    out.title = StripTitle(after.substr(size));
    return true;
  }
  return false;
}

bool ParseSpecial(std::string_view rest, HeadingCandidate& out) {
  // Longer words first, so 序章 is not read as 序 + 章.
  static constexpr std::array<std::string_view, 18> kWords = {
      "完本感言", "序章", "序言", "楔子", "引子", "前言", "终章", "終章", "尾声",
      "尾聲",     "后记", "後記", "番外", "后序", "後序", "附录", "附錄", "序"};
  for (std::string_view word : kWords) {
    if (!StartsWith(rest, word)) continue;
    std::string_view after = rest.substr(word.size());
    if (word == "番外") {
      if (StartsWith(after, "篇")) after.remove_prefix(std::string_view("篇").size());
      after = TrimLeft(after);
      const std::string_view run = NumeralRun(after, out.style);
      if (!run.empty()) ReadNumber(run, out);
      after.remove_prefix(run.size());
    }
    std::size_t size = 0;
    if (!after.empty() && SeparatorAt(after, size).empty() && CharAt(after, 0) != "】" &&
        CharAt(after, 0) != "（" && CharAt(after, 0) != "(") {
      return false;
    }
    out.kind = HeadingCandidate::Kind::Special;
    out.unit = word;
    out.title = StripTitle(after.substr(size));
    return true;
  }
  return false;
}

}  // namespace

std::optional<HeadingCandidate> HeadingCandidate::Parse(std::string_view line,
                                                        std::int64_t maxChars) {
  std::string_view text = TrimRight(TrimLeft(line));
  if (text.empty() || EndsSentence(text)) return std::nullopt;
  HeadingCandidate out;
  out.chars = CountChars(text);
  if (out.chars > maxChars) return std::nullopt;
  if (!StripDecoration(text, out.decoration)) return std::nullopt;
  if (ParseNumbered(text, out) || ParsePrefixed(text, out) || ParseSpecial(text, out) ||
      ParseSeparated(text, out)) {
    return out;
  }
  return std::nullopt;
}

std::string_view HeadingCandidate::WordMakers(std::string_view unit) {
  static const std::unordered_map<std::string_view, std::string_view> kWords = {
      {"章", "节程"},       {"回", "合家来去到头应答复"},
      {"节", "课目日车奏"}, {"節", "課目日車奏"},
      {"集", "合团中体市"}, {"部", "队分门下长落"},
      {"篇", "幅章"},       {"话", "题语说"},
      {"幕", "后"},         {"卷", "入起走"}};
  const auto found = kWords.find(unit);
  return found == kWords.end() ? std::string_view() : found->second;
}

bool HeadingCandidate::IsBlank(std::string_view line) { return TrimLeft(line).empty(); }

bool HeadingCandidate::CanBeVolume() const {
  if (kind == Kind::Prefixed) return unit == "卷";
  return kind == Kind::Numbered && (unit == "卷" || unit == "部" || unit == "篇" || unit == "册");
}

std::string HeadingCandidate::FormKey() const {
  if (kind == Kind::Special) return "special";
  return std::to_string(static_cast<int>(kind)) + '|' + std::to_string(static_cast<int>(style)) +
         '|' + unit + '|' + decoration;
}

bool HeadingCandidate::SameForm(const HeadingCandidate& other) const {
  if (kind == Kind::Special || other.kind == Kind::Special) return kind == other.kind;
  return kind == other.kind && style == other.style && unit == other.unit &&
         decoration == other.decoration;
}

}  // namespace sekato::engine
