#include "sekato/numerals.h"

#include <array>
#include <string_view>

namespace sekato::engine {

namespace {

// Digit symbols by series × 10 + digit, in GBK.
constexpr std::array<std::string_view, 30> kDigits = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    // ０ … ９
    "\xA3\xB0", "\xA3\xB1", "\xA3\xB2", "\xA3\xB3", "\xA3\xB4", "\xA3\xB5", "\xA3\xB6", "\xA3\xB7",
    "\xA3\xB8", "\xA3\xB9",
    // 零 一 二 三 四 五 六 七 八 九
    "\xC1\xE3", "\xD2\xBB", "\xB6\xFE", "\xC8\xFD", "\xCB\xC4", "\xCE\xE5", "\xC1\xF9", "\xC6\xDF",
    "\xB0\xCB", "\xBE\xC5"};

constexpr std::string_view kZero = "\xC1\xE3";  // 零
constexpr std::string_view kOne = "\xD2\xBB";   // 一
constexpr std::string_view kTen = "\xCA\xAE";   // 十
// Units inside a group of four digits: ones, 十, 百, 千.
constexpr std::array<std::string_view, 4> kSmallUnits = {"", kTen, "\xB0\xD9", "\xC7\xA7"};
// Units of the groups: ones, 万, 亿, 万亿, 亿亿.
constexpr std::array<std::string_view, 5> kGroupUnits = {"", "\xCD\xF2", "\xD2\xDA",
                                                         "\xCD\xF2\xD2\xDA", "\xD2\xDA\xD2\xDA"};

std::string_view Digit(Numerals::Series series, int digit) {
  return kDigits[static_cast<std::size_t>(static_cast<int>(series) * 10 + digit)];
}

// A group of four digits, 1 … 9999, with inner zero runs as one 零 and no trailing zeros.
void AppendGroup(std::string& out, std::int64_t value) {
  constexpr std::array<std::int64_t, 4> kPowers = {1, 10, 100, 1000};
  bool started = false;
  bool zeroPending = false;
  for (int pos = 3; pos >= 0; --pos) {
    const auto digit = static_cast<int>(value / kPowers[static_cast<std::size_t>(pos)] % 10);
    if (digit == 0) {
      zeroPending = started;  // only zeros between digits are written
      continue;
    }
    if (zeroPending) out += kZero;
    zeroPending = false;
    out += Digit(Numerals::Series::Chinese, digit);
    out += kSmallUnits[static_cast<std::size_t>(pos)];
    started = true;
  }
}

std::string Chinese(std::int64_t n) {
  std::array<std::int64_t, kGroupUnits.size()> groups{};
  std::size_t count = 0;
  for (std::int64_t rest = n; rest > 0 && count < groups.size(); rest /= 10000) {
    groups[count++] = rest % 10000;
  }
  std::string out;
  bool started = false;
  bool zeroPending = false;
  for (std::size_t g = count; g-- > 0;) {
    const std::int64_t value = groups[g];
    if (value == 0) {
      zeroPending = started;
      continue;
    }
    if (started && (zeroPending || value < 1000)) out += kZero;
    AppendGroup(out, value);
    out += kGroupUnits[g];
    started = true;
    zeroPending = false;
  }
  // 10–19 (and 十万, 十一万 …) are read without the leading 一.
  if (out.size() >= 4 && std::string_view(out).substr(0, 2) == kOne &&
      std::string_view(out).substr(2, 2) == kTen) {
    out.erase(0, 2);
  }
  return out;
}

}  // namespace

std::string Numerals::Text(std::int64_t n, Series series) {
  if (n < 1) n = 0;
  if (series == Series::Chinese) return n == 0 ? std::string(kZero) : Chinese(n);
  std::string decimal = std::to_string(n);  // not const: returned, it moves
  if (series != Series::FullWidth) return decimal;
  std::string out;
  out.reserve(decimal.size() * 2);
  for (const char c : decimal) out += Digit(Series::FullWidth, c - '0');
  return out;
}

}  // namespace sekato::engine
