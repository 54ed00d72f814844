#include "tocfile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "tocjson.h"

namespace sekato::cli {

namespace {

using Json = nlohmann::json;

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Reads the JSON as it goes, keeping only what a split needs: a list of a hundred thousand
// headings costs no tree of every field --list --json wrote.
class TocReader final : public nlohmann::json_sax<Json> {
 public:
  engine::ChapterList list;
  std::string error;

  bool null() override { return Value(ValueKind::Other, 0, {}); }
  bool boolean(bool /*value*/) override { return Value(ValueKind::Other, 0, {}); }
  bool number_integer(number_integer_t value) override {
    return Value(ValueKind::Integer, value, {});
  }
  bool number_unsigned(number_unsigned_t value) override {
    return Value(ValueKind::Integer, static_cast<std::int64_t>(value), {});
  }
  bool number_float(number_float_t /*value*/, const string_t& /*text*/) override {
    return Value(ValueKind::Other, 0, {});
  }
  bool string(string_t& value) override { return Value(ValueKind::String, 0, value); }
  bool binary(binary_t& /*value*/) override { return Value(ValueKind::Other, 0, {}); }
  bool start_object(std::size_t /*size*/) override {
    if (m_depth == 2 && m_inHeadings) {
      list.entries.emplace_back();
      m_hasLine = false;
    }
    ++m_depth;
    m_key.clear();
    return true;
  }
  bool end_object() override {
    --m_depth;
    if (m_depth == 2 && m_inHeadings && !m_hasLine) {
      return Fail("heading " + std::to_string(list.entries.size()) + ": no whole-number \"line\"");
    }
    if (m_depth == 0 && !m_sawHeadings) return Fail("not a chapter list: no \"headings\" array");
    if (m_depth == 0) m_done = true;
    return true;
  }
  bool start_array(std::size_t /*size*/) override {
    // `--list --json` over several sources writes an array: one of them may be given.
    if (m_depth == 0) return true;
    if (Top() && m_key == "headings") {
      m_inHeadings = true;
      m_sawHeadings = true;
    }
    if (Top() && m_key == "replace") m_inReplace = true;
    ++m_depth;
    return true;
  }
  bool end_array() override {
    if (m_depth == 0) return true;
    --m_depth;
    if (m_depth == 1) m_inHeadings = m_inReplace = false;
    return true;
  }
  bool key(string_t& value) override {
    m_key = value;
    return true;
  }
  bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                   const nlohmann::detail::exception& e) override {
    if (error.empty()) error = e.what();
    return false;
  }

 private:
  enum class ValueKind { Integer, String, Other };
  // The top-level object's own fields lie at depth 1.
  bool Top() const { return m_depth == 1; }
  bool Fail(std::string why) {
    if (error.empty()) error = std::move(why);
    return false;
  }
  bool Value(ValueKind kind, std::int64_t number, const std::string& text) {
    if (m_depth == 0) return Fail("not a chapter list: no \"headings\" array");
    if (m_done) return Fail("more than one listing");
    if (Top() && m_key == "sourceBytes") {
      if (kind != ValueKind::Integer) return Fail("\"sourceBytes\" is not a whole number");
      list.sourceBytes = number;
    } else if (Top() && m_key == "hash") {
      if (kind != ValueKind::String) return Fail("\"hash\" is not a string");
      list.hash = text;
    } else if (Top() && m_key == "convert") {
      if (kind != ValueKind::String) return Fail("\"convert\" is not a string");
      list.convert = text;
    } else if (m_depth == 2 && m_inReplace) {
      if (kind != ValueKind::String) return Fail("\"replace\" holds a rule that is not a string");
      list.replace.push_back(text);
    } else if (m_depth == 3 && m_inHeadings && m_key == "line") {
      if (kind != ValueKind::Integer) return Fail(Where() + ": no whole-number \"line\"");
      list.entries.back().line = number;
      m_hasLine = true;
    } else if (m_depth == 3 && m_inHeadings && m_key == "title") {
      if (kind != ValueKind::String) return Fail(Where() + ": \"title\" is not a string");
      list.entries.back().title = text;
    } else if (m_depth == 2 && m_inHeadings) {
      return Fail("heading " + std::to_string(list.entries.size() + 1) +
                  ": no whole-number \"line\"");
    }
    return true;
  }
  std::string Where() const { return "heading " + std::to_string(list.entries.size()); }

 public:
  /// True once one whole listing has been read.
  bool Done() const { return m_done; }

 private:
  int m_depth = 0;  ///< objects and arrays open, the outer array of several not counted
  bool m_inHeadings = false;
  bool m_inReplace = false;
  bool m_sawHeadings = false;
  bool m_hasLine = false;
  bool m_done = false;
  std::string m_key;
};

std::optional<engine::ChapterList> FromJson(std::string_view text, std::string& error) {
  if (auto list = TocJson::Quick(text)) return list;
  TocReader reader;
  const bool parsed = Json::sax_parse(text.begin(), text.end(), &reader);
  // An empty array holds no listing at all.
  if (!parsed || !reader.error.empty() || !reader.Done()) {
    error = reader.error.empty() ? "not a chapter list: no \"headings\" array" : reader.error;
    return std::nullopt;
  }
  return std::move(reader.list);
}

std::optional<engine::ChapterList> FromText(std::string_view text, std::string& error) {
  engine::ChapterList list;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    std::string_view row = text.substr(0, feed);
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    ++number;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (Trim(row).empty() || Trim(row).front() == '#') continue;
    const std::size_t cut = row.find_first_of("\t:");
    const std::string_view digits = Trim(row.substr(0, cut));
    engine::ChapterEntry entry;
    const auto [end, code] =
        std::from_chars(digits.data(), digits.data() + digits.size(), entry.line);
    if (digits.empty() || code != std::errc() || end != digits.data() + digits.size()) {
      error = "line " + std::to_string(number) + ": not a line number: " + std::string(row);
      return std::nullopt;
    }
    if (cut != std::string_view::npos && row[cut] == '\t') entry.title = Trim(row.substr(cut + 1));
    list.entries.push_back(std::move(entry));
  }
  return list;
}

}  // namespace

std::optional<engine::ChapterList> TocFile::Parse(std::string_view text, std::string& error) {
  const std::string_view start = Trim(text.substr(0, 64));
  // JSON starts with an object or an array; plain text with a digit or a comment.
  if (!start.empty() && (start.front() == '{' || start.front() == '[')) {
    return FromJson(text, error);
  }
  return FromText(text, error);
}

std::optional<engine::ChapterList> TocFile::Read(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return std::nullopt;
  }
  // Room for the whole file at once: a list of a hundred thousand headings is megabytes, and
  // a buffer that grows as it goes copies them many times. A pipe has no size to ask.
  std::string text;
  std::error_code unknown;
  const std::uintmax_t size = std::filesystem::file_size(path, unknown);
  if (!unknown) text.reserve(static_cast<std::size_t>(size));
  std::vector<char> block(std::size_t{1} << 16);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    text.append(block.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  return Parse(text, error);
}

}  // namespace sekato::cli
