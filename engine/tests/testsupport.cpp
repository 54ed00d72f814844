#include "testsupport.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "cpufeatures.h"
#include "sekato/gbkcodec.h"
#include "sekato/sourcepath.h"
#include "sekato/splitrun.h"

namespace sekato::engine::test {

namespace {

// The scanning tests also run with SEKATO_SIMD naming each kernel level. Where the processor
// lacks the level asked for, the scanners would quietly use a lower one and the run would
// prove nothing: it is skipped instead.
class KernelLevelCheck final : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* requested = std::getenv("SEKATO_SIMD");
    const std::optional<SimdLevel> wanted =
        requested ? CpuFeatures::Parse(requested) : std::nullopt;
    if (wanted && *wanted > CpuFeatures::Supported()) {
      GTEST_SKIP() << "this processor has no " << requested << " kernel";
    }
  }
};

[[maybe_unused]] ::testing::Environment* const kKernelLevelCheck =
    ::testing::AddGlobalTestEnvironment(new KernelLevelCheck);

}  // namespace

std::string G(const std::string& utf8) {
  auto gbk = GbkCodec::FromUtf8(utf8);
  if (!gbk) throw std::runtime_error("not GBK: " + utf8);
  return *gbk;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  m_nOld = limit.rlim_cur;
  m_pOldHandler = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = m_nOld;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, m_pOldHandler);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sekato-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> FilesIn(const std::string& dir) {
  std::map<std::string, std::string> files;
  if (!std::filesystem::exists(dir)) return files;
  for (const auto& name : ListDir(dir)) files[name] = ReadFile(dir + "/" + name);
  return files;
}

SplitOptions OptionsFor(const std::string& source, const std::string& outDir) {
  SplitOptions options;
  options.sourcePath = source;
  options.sourceBase = SourcePath::Base(source);
  options.sourceTitle = SourcePath::Title(source);
  options.customName = options.sourceTitle;
  options.folder = FolderChoice::NewFolder;
  options.newFolder = outDir;
  options.noPromotion = true;
  return options;
}

SplitOutcome Split(const SplitOptions& options, RecordingHost& host) {
  SplitRun run(options, host);
  return Execute(run, host);
}

SplitOutcome Execute(SplitRun& run, RecordingHost& host) { return host.Record(run.Execute()); }

std::string JoinPieces(const std::string& dir) {
  // Sequence names grow a digit past 999: a longer name comes later.
  auto names = ListDir(dir);
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return a.size() < b.size(); });
  std::string all;
  for (const auto& name : names) all += ReadFile(dir + "/" + name);
  return all;
}

std::string WithoutBreaks(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(out),
               [](char c) { return c != '\r' && c != '\n'; });
  return out;
}

std::string CorpusNovel() {
  std::string path = std::string(SEKATO_SAMPLES_DIR) + "/sanguoyanyi.gbk.txt";
  if (!std::filesystem::is_regular_file(path)) {
    throw std::runtime_error("The sample novel " + path +
                             " is missing; it comes with the repository (samples/).");
  }
  return path;
}

std::string RandomBook(unsigned seed) {
  const std::vector<std::string> atoms = {G("中"),    G("文"), "a",    " ",        "\r",
                                          G("第1章"), G("　"), "\xB5", "x\x81\x40"};
  std::string text;
  for (int line = 0; line < 60; ++line) {
    seed = seed * 1103515245u + 12345u;
    const unsigned kind = (seed >> 16) % 8;
    if (kind == 0) {
      text += G("第1章 开始");
    } else {
      const unsigned length = kind < 4 ? (seed >> 8) % 40 : (seed >> 4) % 3000;
      for (unsigned i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        text += atoms[(seed >> 16) % atoms.size()];
      }
    }
    text += (seed & 1) ? "\r\n" : "\n";
  }
  return text;
}

}  // namespace sekato::engine::test
