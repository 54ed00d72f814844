// Splits the input with options taken from its first bytes and checks the run against what
// must always hold: no crash, no failure on a healthy disk, and, without clean-up or added
// text, the pieces joined are the source without line breaks and start on characters of the
// encoding the run found (the source's own, so nothing is converted).
//
// Input: 5 option bytes, then the source text.
//   0: mode (% 3), bit 2 keep-lines, bit 3 head/tail/promotion/clean-up, bits 4-5 name mode
//   1: chapters per piece (1-4), size in KB (0-3) or parts (1-8)
//   2: title limit (0-63) and numeral series (top two bits; 3 is none)
//   3: part limit for long lines (0 the usual 1 MiB, else 4-64 bytes)
//   4: keyword text, from a small table

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "splitinvariants.h"
#include "splitrun.h"

namespace {

using sekato::engine::Numerals;
using sekato::engine::SplitHost;
using sekato::engine::SplitOutcome;

class QuietHost final : public SplitHost {
 public:
  bool Progress(std::int64_t, std::int64_t) override { return true; }
  void ReportEncoding(sekato::engine::Encoding found, bool) override { encoding = found; }
  sekato::engine::Encoding encoding = sekato::engine::Encoding::Gbk;
};

const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "sekato-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  static const bool cleanedAtExit = [] {
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(WorkDir(), ignored);
    });
    return true;
  }();
  (void)cleanedAtExit;
  return dir;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "split invariant broken: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5 || size > (1 << 16)) return 0;
  static const char* const kKeywords[] = {"\xB5\xDA  \xD5\xC2",
                                          "\xB5\xDA?\xD5\xC2",
                                          "?",
                                          "\xD5\xC2",
                                          "\xB5\xDA ? \xD5\xC2",
                                          "",
                                          "a ? b",
                                          "\xA1\xA1\xB5\xDA\xA1\xA1"};
  const std::uint8_t flags = data[0];
  const int number = data[1];
  const auto series = Numerals::FromIndex(data[2] >> 6);  // 3 is none
  const std::string source(reinterpret_cast<const char*>(data) + 5, size - 5);
  const bool decorated = (flags & 8) != 0;

  const std::filesystem::path& dir = WorkDir();
  const std::string sourcePath = (dir / "src.txt").string();
  const std::string out = (dir / "out").string();
  std::filesystem::remove_all(out);
  std::ofstream(sourcePath, std::ios::binary) << source;

  sekato::engine::SplitOptions o;
  o.sourcePath = sourcePath;
  o.sourceTitle = "src";
  o.customName = "src";
  o.folder = sekato::engine::FolderChoice::NewFolder;
  o.newFolder = out;
  o.mode = static_cast<sekato::engine::SplitMode>(flags % 3);
  const int naming = (flags >> 4) & 3;
  o.naming = naming == 3 ? sekato::engine::PieceNaming::SourceTitle
                         : static_cast<sekato::engine::PieceNaming>(naming);
  o.keepLines = (flags & 4) != 0;
  o.chaptersPerPiece = 1 + number % 4;
  o.maxKb = number % 4;
  o.parts = 1 + number % 8;
  o.titleMax = data[2] & 63;
  o.keywords = kKeywords[data[4] % (sizeof kKeywords / sizeof kKeywords[0])];
  o.noPromotion = !decorated;
  o.trimSpaces = decorated;
  o.addHead = o.addTail = decorated;
  o.head = "H\nH";
  o.tail = "T";

  o.numerals = series;
  QuietHost host;
  sekato::engine::SplitRun run(o, host);
  if (data[3] != 0) run.SetPartLimit(4 + data[3] % 61);
  const sekato::engine::SplitEnd end = run.Execute();
  const SplitOutcome outcome = end.outcome;
  if (outcome == SplitOutcome::Failed) Fail("the run failed: " + end.message.Text());
  // UTF-16 of an odd number of bytes ends in U+FFFD: its pieces do not join to the source.
  const std::size_t mark = sekato::engine::Encodings::ByteOrderMark(host.encoding).size();
  const bool halfUnit =
      sekato::engine::Encodings::IsUtf16(host.encoding) && (source.size() - mark) % 2 != 0;
  if (outcome == SplitOutcome::Completed && !decorated && !halfUnit) {
    const std::string wrong =
        sekato::engine::test::CheckSplitInvariants(source, out, "src", host.encoding);
    if (!wrong.empty())
      Fail(wrong + " (" + std::string(sekato::engine::Encodings::Name(host.encoding)) + ")");
  }
  return 0;
}
