#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tocfile.h"
#include "tocjson.h"

namespace sekato::cli {
namespace {

// What the general parser makes of a listing the quick reader took: the two must agree.
engine::ChapterList ByTree(const std::string& text) {
  const auto json = nlohmann::json::parse(text);
  engine::ChapterList list;
  list.sourceBytes = json.value("sourceBytes", std::int64_t{-1});
  list.hash = json.value("hash", "");
  list.convert = json.value("convert", "");
  if (json.contains("replace")) list.replace = json["replace"].get<std::vector<std::string>>();
  for (const auto& heading : json["headings"]) {
    list.entries.push_back({heading["line"].get<std::int64_t>(), heading.value("title", "")});
  }
  return list;
}

void ExpectSame(const engine::ChapterList& got, const engine::ChapterList& expected,
                const std::string& label) {
  EXPECT_EQ(got.sourceBytes, expected.sourceBytes) << label;
  EXPECT_EQ(got.hash, expected.hash) << label;
  EXPECT_EQ(got.convert, expected.convert) << label;
  EXPECT_EQ(got.replace, expected.replace) << label;
  ASSERT_EQ(got.entries.size(), expected.entries.size()) << label;
  for (std::size_t i = 0; i < got.entries.size(); ++i) {
    EXPECT_EQ(got.entries[i].line, expected.entries[i].line) << label << " #" << i;
    EXPECT_EQ(got.entries[i].title, expected.entries[i].title) << label << " #" << i;
  }
}

TEST(TocJson, ReadsListingsAsTheGeneralParserDoes) {
  const std::string cases[] = {
      R"({"version": 2, "source": "/b/书.txt", "sourceBytes": 209716981, "lines": 12,
          "hash": "bbdb4d4cf50a2db0", "rule": {"keywords": "第  章", "per": 1, "trim": false,
          "nested": [[], {}, [1, {"line": 99}]]}, "replace": ["a=>b", "c=>"], "convert": "s2t",
          "headings": [{"index": 1, "number": 1, "line": 4, "offset": 158, "title": "第一章 甲"},
                       {"line": 9, "size": 1.5e3, "extra": null, "flags": [true, false]}]})",
      "{\"headings\":[]}",
      " \r\n\t{ \"headings\" : [ { \"line\" : 0 } , {\"line\":-3,\"title\":\"\"} ] } \n",
      R"({"note": "escapes pass \" \\ \/ \b \f \n \r \t \u00e9 \ud83d\ude00", "headings": [{"line": 1}]})",
      R"({"sizes": [0, -0, 0.5, -1.25e-3, 2E+8], "headings": [{"line": 123456789012345678}]})",
      R"({"headings": [{"line": 1, "line": 7, "title": "a", "title": "𝄞乙"}], "hash": "x", "hash": "y"})",
  };
  for (const std::string& text : cases) {
    const auto quick = TocJson::Quick(text);
    ASSERT_TRUE(quick) << text;
    ExpectSame(*quick, ByTree(text), text);
  }
}

// Each of these the quick reader leaves to the general parser: it says what is wrong, or
// reads what is out of the ordinary.
TEST(TocJson, LeavesAnythingOutOfTheOrdinaryToTheGeneralParser) {
  struct Case {
    const char* name;
    std::string text;
    bool readable;  ///< the general parser reads it
  };
  const Case cases[] = {
      {"array of listings", R"([{"headings": [{"line": 1}]}])", true},
      {"escaped title", R"({"headings": [{"line": 1, "title": "\u7532"}]})", true},
      {"escaped key", R"({"head\u0069ngs": [{"line": 1}]})", true},
      {"escaped hash", R"({"hash": "a\/b", "headings": []})", true},
      {"line as float", R"({"headings": [{"line": 2.0}]})", false},
      {"line as text", R"({"headings": [{"line": "2"}]})", false},
      {"no line", R"({"headings": [{"title": "x"}]})", false},
      {"huge line", R"({"headings": [{"line": 12345678901234567890}]})", true},
      {"leading zero", R"({"headings": [{"line": 02}]})", false},
      {"no headings", R"({"hash": "x"})", false},
      {"headings twice", R"({"headings": [{"line": 1}], "headings": [{"line": 2}]})", true},
      {"headings not an array", R"({"headings": 3})", false},
      {"heading not an object", R"({"headings": [3]})", false},
      {"trailing text", R"({"headings": []} x)", false},
      {"two listings", R"({"headings": []}{"headings": []})", false},
      {"control character", "{\"note\": \"a\tb\", \"headings\": []}", false},
      {"bad escape", R"({"note": "\x", "headings": []})", false},
      {"invalid UTF-8", "{\"note\": \"\xff\", \"headings\": []}", false},
      {"surrogate in UTF-8", "{\"note\": \"\xed\xa0\x80\", \"headings\": []}", false},
      {"overlong UTF-8", "{\"note\": \"\xc0\xaf\", \"headings\": []}", false},
      {"cut short", R"({"headings": [{"line": 1})", false},
      {"bad number", R"({"n": 1.e5, "headings": []})", false},
      {"bad word", R"({"n": nul, "headings": []})", false},
      {"escaped quote in a title", R"({"headings": [{"line": 1, "title": "a\"b"}]})", true},
      {"title never closed", R"({"headings": [{"line": 1, "title": "abc)", false},
      {"line feed before the quote", "{\"headings\": [{\"line\": 1, \"title\": \"a\nb\"}]}", false},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(TocJson::Quick(c.text)) << c.name;
    std::string error;
    EXPECT_EQ(TocFile::Parse(c.text, error).has_value(), c.readable) << c.name << ": " << error;
  }
  std::string error;
  const auto escaped = TocFile::Parse(R"({"headings": [{"line": 1, "title": "\u7532"}]})", error);
  ASSERT_TRUE(escaped);
  EXPECT_EQ(escaped->entries[0].title, "甲");
}

}  // namespace
}  // namespace sekato::cli
