#include "tocfile.h"

#include <charconv>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace sekato::cli {

namespace {

using Json = nlohmann::json;

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<engine::ChapterList> FromJson(std::string_view text, std::string& error) {
  Json root;
  try {
    root = Json::parse(text.begin(), text.end());
  } catch (const Json::parse_error& e) {
    error = e.what();
    return std::nullopt;
  }
  // `--list --json` over several sources writes an array: one of them may be given.
  if (root.is_array() && root.size() == 1) root = root.front();
  const auto headings = root.is_object() ? root.find("headings") : root.end();
  if (!root.is_object() || headings == root.end() || !headings->is_array()) {
    error = "not a chapter list: no \"headings\" array";
    return std::nullopt;
  }
  engine::ChapterList list;
  if (const auto bytes = root.find("sourceBytes"); bytes != root.end()) {
    if (!bytes->is_number_integer()) {
      error = "\"sourceBytes\" is not a whole number";
      return std::nullopt;
    }
    list.sourceBytes = bytes->get<std::int64_t>();
  }
  if (const auto hash = root.find("hash"); hash != root.end()) {
    if (!hash->is_string()) {
      error = "\"hash\" is not a string";
      return std::nullopt;
    }
    list.hash = hash->get<std::string>();
  }
  list.entries.reserve(headings->size());
  std::size_t index = 0;
  for (const Json& heading : *headings) {
    ++index;
    const std::string where = "heading " + std::to_string(index);
    const auto line = heading.is_object() ? heading.find("line") : heading.end();
    if (!heading.is_object() || line == heading.end() || !line->is_number_integer()) {
      error = where + ": no whole-number \"line\"";
      return std::nullopt;
    }
    engine::ChapterEntry entry{line->get<std::int64_t>(), {}};
    if (const auto title = heading.find("title"); title != heading.end()) {
      if (!title->is_string()) {
        error = where + ": \"title\" is not a string";
        return std::nullopt;
      }
      entry.title = title->get<std::string>();
    }
    list.entries.push_back(std::move(entry));
  }
  return list;
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
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  return Parse(text.str(), error);
}

}  // namespace sekato::cli
