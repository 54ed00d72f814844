#include "numeralreader.h"

#include <array>
#include <cstdint>

#include "sekato/numerals.h"

namespace sekato::engine {

namespace {

enum class Kind { None, Digit, Zero, Liang, Unit, Group };

struct Token {
  Kind kind = Kind::None;
  std::int64_t value = 0;  ///< digit value, or the unit (10, 100, 1000, 10000, 10^8)
};

struct ChineseChar {
  unsigned char lead;
  unsigned char trail;
  Token token;
};

// Every character a Chinese numeral may hold, in GBK.
constexpr std::array<ChineseChar, 35> kChinese = {{
    {0xC1, 0xE3, {Kind::Zero, 0}},           // 零
    {0xA9, 0x96, {Kind::Zero, 0}},           // 〇
    {0xD2, 0xBB, {Kind::Digit, 1}},          // 一
    {0xB6, 0xFE, {Kind::Digit, 2}},          // 二
    {0xC8, 0xFD, {Kind::Digit, 3}},          // 三
    {0xCB, 0xC4, {Kind::Digit, 4}},          // 四
    {0xCE, 0xE5, {Kind::Digit, 5}},          // 五
    {0xC1, 0xF9, {Kind::Digit, 6}},          // 六
    {0xC6, 0xDF, {Kind::Digit, 7}},          // 七
    {0xB0, 0xCB, {Kind::Digit, 8}},          // 八
    {0xBE, 0xC5, {Kind::Digit, 9}},          // 九
    {0xD2, 0xBC, {Kind::Digit, 1}},          // 壹
    {0xB7, 0xA1, {Kind::Digit, 2}},          // 贰
    {0xC8, 0xFE, {Kind::Digit, 3}},          // 叁
    {0xCB, 0xC1, {Kind::Digit, 4}},          // 肆
    {0xCE, 0xE9, {Kind::Digit, 5}},          // 伍
    {0xC2, 0xBD, {Kind::Digit, 6}},          // 陆
    {0xC6, 0xE2, {Kind::Digit, 7}},          // 柒
    {0xB0, 0xC6, {Kind::Digit, 8}},          // 捌
    {0xBE, 0xC1, {Kind::Digit, 9}},          // 玖
    {0xD9, 0x45, {Kind::Digit, 2}},          // 貳
    {0x85, 0xA2, {Kind::Digit, 3}},          // 參
    {0xEA, 0x91, {Kind::Digit, 6}},          // 陸
    {0xC1, 0xBD, {Kind::Liang, 2}},          // 两
    {0x83, 0xC9, {Kind::Liang, 2}},          // 兩
    {0xCA, 0xAE, {Kind::Unit, 10}},          // 十
    {0xCA, 0xB0, {Kind::Unit, 10}},          // 拾
    {0xB0, 0xD9, {Kind::Unit, 100}},         // 百
    {0xB0, 0xDB, {Kind::Unit, 100}},         // 佰
    {0xC7, 0xA7, {Kind::Unit, 1000}},        // 千
    {0xC7, 0xAA, {Kind::Unit, 1000}},        // 仟
    {0xCD, 0xF2, {Kind::Group, 10000}},      // 万
    {0xC8, 0x66, {Kind::Group, 10000}},      // 萬
    {0xD2, 0xDA, {Kind::Group, 100000000}},  // 亿
    {0x83, 0x7C, {Kind::Group, 100000000}},  // 億
}};

// The lowest first byte of any of them (兩 and 億, 83 xx): no numeral starts below it.
constexpr unsigned char kLowestLead = 0x83;

// Longer runs are not chapter numbers; the bound keeps every value inside 64 bits.
constexpr std::size_t kMaxChars = 18;

// Which entry of kChinese (plus one) each two-byte code is; 0 for none. Every line of a book
// is looked at this way, so the lookup is one load rather than a walk through the table.
const std::array<std::uint8_t, 65536>& ChineseIndex() {
  static const auto index = [] {
    std::array<std::uint8_t, 65536> table{};
    for (std::size_t i = 0; i < kChinese.size(); ++i) {
      table[std::size_t{kChinese[i].lead} << 8 | kChinese[i].trail] =
          static_cast<std::uint8_t>(i + 1);
    }
    return table;
  }();
  return index;
}

Token ChineseAt(std::string_view text, std::size_t pos) {
  if (pos + 1 >= text.size()) return {};
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < kLowestLead) return {};
  const std::size_t code = std::size_t{lead} << 8 | static_cast<unsigned char>(text[pos + 1]);
  const std::uint8_t entry = ChineseIndex()[code];
  return entry == 0 ? Token{} : kChinese[entry - 1u].token;
}

bool AsciiDigitAt(std::string_view text, std::size_t pos) {
  return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
}

bool FullWidthDigitAt(std::string_view text, std::size_t pos) {
  return pos + 1 < text.size() && static_cast<unsigned char>(text[pos]) == 0xA3 &&
         static_cast<unsigned char>(text[pos + 1]) >= 0xB0 &&
         static_cast<unsigned char>(text[pos + 1]) <= 0xB9;
}

std::int64_t DigitsValue(std::string_view run, std::size_t width) {
  if (run.empty() || run.size() / width > kMaxChars) return NumeralReader::kUnreadable;
  std::int64_t value = 0;
  for (std::size_t i = width - 1; i < run.size(); i += width) {
    value = value * 10 + (static_cast<unsigned char>(run[i]) & 0x0F);
  }
  return value;
}

// Digits written one by one: 一〇一 → 101.
std::int64_t OneByOne(std::string_view run) {
  std::int64_t value = 0;
  for (std::size_t i = 0; i < run.size(); i += 2) {
    const Token t = ChineseAt(run, i);
    if (t.kind != Kind::Digit && t.kind != Kind::Zero) return NumeralReader::kUnreadable;
    value = value * 10 + t.value;
  }
  return value;
}

// Digits with units, read left to right: a digit waits for its unit; a digit left at the
// end is the ones, wherever it stands (一百一 → 101). Units fall strictly within a group.
// Spoken short, a last digit right after a unit of 100 or more, or right after 万 or 亿, is
// a digit of the next unit down: `colloquial` reads it so (一百三 → 130, 三万五 → 35000).
std::int64_t WithUnits(std::string_view run, bool colloquial) {
  std::int64_t total = 0;
  std::int64_t group = 0;
  std::int64_t pending = -1;  // a digit waiting for its unit
  bool liang = false;         // the pending digit is 两
  std::int64_t lastUnit = 10000;
  std::int64_t lastGroup = 0;  // 0: no group unit yet
  Kind before = Kind::None;    // the kind of the token before the pending digit
  Kind previous = Kind::None;
  for (std::size_t i = 0; i < run.size(); i += 2) {
    const Token t = ChineseAt(run, i);
    before = previous;
    previous = t.kind;
    switch (t.kind) {
      case Kind::Digit:
      case Kind::Liang:
        if (pending >= 0) return NumeralReader::kUnreadable;
        pending = t.value;
        liang = t.kind == Kind::Liang;
        break;
      case Kind::Zero:
        if (pending >= 0) return NumeralReader::kUnreadable;
        break;
      case Kind::Unit:
        if (t.value >= lastUnit || (liang && t.value == 10)) return NumeralReader::kUnreadable;
        if (pending < 0 && t.value != 10) return NumeralReader::kUnreadable;
        group += (pending < 0 ? 1 : pending) * t.value;
        lastUnit = t.value;
        pending = -1;
        liang = false;
        break;
      case Kind::Group:
        if (pending >= 0) group += pending;
        if (group == 0 || (lastGroup != 0 && t.value >= lastGroup)) {
          return NumeralReader::kUnreadable;
        }
        total += group * t.value;
        group = 0;
        pending = -1;
        liang = false;
        lastUnit = 10000;
        lastGroup = t.value;
        break;
      case Kind::None:
        return NumeralReader::kUnreadable;
    }
  }
  if (liang) return NumeralReader::kUnreadable;
  if (colloquial && pending >= 0 && previous != Kind::Zero) {
    if (before == Kind::Unit && lastUnit >= 100) pending *= lastUnit / 10;
    if (before == Kind::Group) pending *= lastGroup / 10;
  }
  return total + group + (pending < 0 ? 0 : pending);
}

}  // namespace

std::size_t NumeralReader::RunEnd(std::string_view text, std::size_t pos, Numerals::Series series) {
  std::size_t end = pos;
  switch (series) {
    case Numerals::Series::Ascii:
      while (AsciiDigitAt(text, end)) ++end;
      break;
    case Numerals::Series::FullWidth:
      while (FullWidthDigitAt(text, end)) end += 2;
      break;
    case Numerals::Series::Chinese:
      while (ChineseAt(text, end).kind != Kind::None) end += 2;
      break;
    case Numerals::Series::None:
      break;
  }
  return end;
}

std::int64_t NumeralReader::Value(std::string_view run, Numerals::Series series) {
  switch (series) {
    case Numerals::Series::Ascii:
      return DigitsValue(run, 1);
    case Numerals::Series::FullWidth:
      return DigitsValue(run, 2);
    case Numerals::Series::Chinese:
      break;
    case Numerals::Series::None:
      return kUnreadable;
  }
  if (run.empty() || run.size() / 2 > kMaxChars) return kUnreadable;
  for (std::size_t i = 0; i < run.size(); i += 2) {
    const Kind kind = ChineseAt(run, i).kind;
    if (kind == Kind::Unit || kind == Kind::Group) return WithUnits(run, false);
  }
  return OneByOne(run);
}

std::int64_t NumeralReader::SpokenValue(std::string_view run, Numerals::Series series) {
  const std::int64_t value = Value(run, series);
  if (value == kUnreadable || series != Numerals::Series::Chinese) return value;
  for (std::size_t i = 0; i < run.size(); i += 2) {
    const Kind kind = ChineseAt(run, i).kind;
    if (kind == Kind::Unit || kind == Kind::Group) return WithUnits(run, true);
  }
  return value;
}

bool NumeralReader::Reads(std::string_view run, Numerals::Series series, std::int64_t number) {
  return Value(run, series) == number || SpokenValue(run, series) == number;
}

bool NumeralReader::ReadAny(std::string_view text, std::size_t pos, std::size_t& end,
                            std::int64_t& value) {
  for (const auto series :
       {Numerals::Series::Ascii, Numerals::Series::FullWidth, Numerals::Series::Chinese}) {
    end = RunEnd(text, pos, series);
    if (end > pos) {
      value = Value(text.substr(pos, end - pos), series);
      return true;
    }
  }
  return false;
}

}  // namespace sekato::engine
