#include "codecstage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sekato/encoding.h"

namespace sekato::engine {
namespace {

// The whole of `text` through `stage`, as a run converts it: every stop is written down
// (Invalid and Unwritable with their length) and the faulty bytes replaced, so two stages
// that convert alike give the same transcript.
std::string Transcript(CodecStage stage, const std::string& text) {
  std::string out;
  const char* in = text.data();
  std::size_t inLeft = text.size();
  while (true) {
    char bytes[64];
    char* to = bytes;
    std::size_t toLeft = sizeof bytes;
    const CodecStage::Result result = stage.Step(in, inLeft, to, toLeft, true);
    out.append(bytes, to);
    if (result.end == CodecStage::End::Done) break;
    if (result.end == CodecStage::End::NoRoom) continue;
    out += "<" + std::to_string(static_cast<int>(result.end)) + ":" +
           std::to_string(result.length) + ">";
    to = bytes;
    toLeft = sizeof bytes;
    stage.Replace(in, result.length, to, toLeft);
    out.append(bytes, to);
    in += result.length;
    inLeft -= result.length;
  }
  return out;
}

std::string Utf8(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// Texts that hold every character (one per line, so that a stop names one character) and
// the faults a book may carry: a byte that begins nothing, a character cut off at the end.
std::vector<std::string> Texts(bool toUtf8) {
  std::vector<std::string> texts;
  std::string all;
  if (toUtf8) {
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFF; ++trail) {
        all += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
      }
    }
    texts = {
        "\xB5\xDA"
        "1\xD5\xC2",
        "a\xA2\xE3"
        "b",
        "\x81\x30\x81\x30x",
        "x\xFF"
        "y",
        "z\xB5"};
  } else {
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
      if (cp < 0xD800 || cp > 0xDFFF) all += Utf8(cp) + "\n";
    }
    texts = {"第1章", "a€b", Utf8(0x20000) + "x",
             "x\xFF"
             "y",
             "z\xE7\xAC"};
  }
  texts.push_back(all);
  return texts;
}

struct Direction {
  Encoding other;
  bool toUtf8;
};

class TableOrNot : public testing::TestWithParam<Direction> {};

TEST_P(TableOrNot, GivesTheSameBytesAndStopsAtTheSamePlaces) {
  const auto [other, toUtf8] = GetParam();
  const auto stage = [&](CodecStage::Table table) {
    return toUtf8 ? CodecStage::Decoder(other, false, table) : CodecStage::Encoder(other, table);
  };
  for (const std::string& text : Texts(toUtf8)) {
    const std::string kept = text.size() > 20 ? "every character" : text;
    // Stepped as a few words (keywords) are, and as a book is.
    EXPECT_EQ(Transcript(stage(CodecStage::Table::Never), text),
              Transcript(stage(CodecStage::Table::Always), text))
        << kept;
    EXPECT_EQ(Transcript(stage(CodecStage::Table::WhenWorth), text),
              Transcript(stage(CodecStage::Table::Always), text))
        << kept;
  }
}

INSTANTIATE_TEST_SUITE_P(Codec, TableOrNot,
                         testing::Values(Direction{Encoding::Gbk, true},
                                         Direction{Encoding::Gbk, false},
                                         Direction{Encoding::Gb18030, true},
                                         Direction{Encoding::Gb18030, false}));

}  // namespace
}  // namespace sekato::engine
