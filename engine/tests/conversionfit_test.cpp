#include "sekato/conversionfit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sekato/replacerulecheck.h"

namespace sekato::engine {
namespace {

// Every conversion against every encoding the pieces can be written in: only simplified text
// in Big5 pieces does not fit.
TEST(ConversionFit, FitsByTheEncodingsRepertoire) {
  struct Case {
    Encoding output;
    bool simplifiedFits;
    bool traditionalFits;
  };
  const Case cases[] = {
      {Encoding::Auto, true, true},    {Encoding::Gbk, true, true},
      {Encoding::Gb18030, true, true}, {Encoding::Big5, false, true},
      {Encoding::Utf8, true, true},    {Encoding::Utf16Le, true, true},
      {Encoding::Utf16Be, true, true},
  };
  for (const Case& c : cases) {
    const std::string name(Encodings::Name(c.output));
    EXPECT_TRUE(ConversionFit::Fits(ScriptConversion::None, c.output)) << name;
    for (const ScriptConversion conversion : ScriptConversions::kAll) {
      const bool simplified = ScriptConversions::ToSimplified(conversion);
      EXPECT_EQ(ConversionFit::Fits(conversion, c.output),
                simplified ? c.simplifiedFits : c.traditionalFits)
          << ScriptConversions::Name(conversion) << " into " << name;
    }
  }
}

TEST(ReplaceRuleCheck, RefusesTheFirstBadRuleWithItsPlace) {
  struct Case {
    std::vector<std::string> rules;  // rules.txt, one a line from line 1
    bool refused;
    std::string said;  // in the refusal
  };
  const std::vector<Case> cases = {
      {{}, false, ""},
      {{"本章未完.*", "(\\d+)章=>第$1章", "(?<w>笔趣阁)=>[${w}]"}, false, ""},
      {{"ok", "本章(未完"}, true, "“rules.txt”第 2 行“本章(未完”"},
      {{"(a)=>$2"}, true, "第 1 行"},
      {{"=>x"}, true, "第 1 行"},    // an empty pattern would match everywhere
      {{"[a", "(b"}, true, "“[a”"},  // the first fault is the one told
  };
  for (const Case& c : cases) {
    std::vector<ReplaceRuleText> rules;
    for (std::size_t i = 0; i < c.rules.size(); ++i) {
      rules.push_back(
          ReplaceRuleText::Parse(c.rules[i], static_cast<std::int64_t>(i + 1), "rules.txt"));
    }
    const auto refusal = ReplaceRuleCheck::Refusal(rules);
    ASSERT_EQ(refusal.has_value(), c.refused) << testing::PrintToString(c.rules);
    if (!refusal) continue;
    EXPECT_EQ(refusal->id, MessageId::BadReplaceRule);
    EXPECT_NE(refusal->Text().find(c.said), std::string::npos) << refusal->Text();
  }
}

}  // namespace
}  // namespace sekato::engine
