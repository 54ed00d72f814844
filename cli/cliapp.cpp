#include "cliapp.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "interruptflag.h"
#include "listoutput.h"
#include "programversion.h"
#include "sekato/encoding.h"
#include "sekato/message.h"
#include "sekato/numberparse.h"
#include "sekato/outputfolders.h"
#include "sekato/sourcepath.h"
#include "sekato/texttransform.h"
#include "sekato/workerpool.h"
#include "sourcerun.h"
#include "tocfile.h"

namespace sekato::cli {

namespace {
// The names -e and --to take, in the order the help lists them.
std::vector<std::string> EncodingNames(bool withAuto) {
  std::vector<std::string> names;
  for (const engine::Encoding encoding : engine::Encodings::kAll) {
    if (withAuto || encoding != engine::Encoding::Auto) {
      names.emplace_back(engine::Encodings::Name(encoding));
    }
  }
  return names;
}

}  // namespace

bool CliApp::BuildOptions() {
  TakeChoices();
  TakeTexts();
  return TakeChapterChoices() && BuildTransforms();
}

void CliApp::TakeChoices() {
  engine::SplitOptions& o = m_options;
  o.folder =
      m_strOut.empty() ? engine::FolderChoice::BesideSource : engine::FolderChoice::NewFolder;
  o.naming = m_bTitleNames       ? engine::PieceNaming::ChapterTitle
             : m_strName.empty() ? engine::PieceNaming::SourceTitle
                                 : engine::PieceNaming::Custom;
  // Numbers are read as the form reads its fields: leading digits count, "abc" is 0, and the
  // run refuses what it cannot split with, in the same words as the window.
  o.titleMax = engine::ParseNumber(m_strTitleMax);
  o.chaptersPerPiece = engine::ParseNumber(m_strPer);
  o.maxKb = engine::ParseNumber(m_strKb);
  o.parts = engine::ParseNumber(m_strParts);
  static const std::map<std::string, engine::SplitMode> kModes = {
      {"chapter", engine::SplitMode::ByChapter},
      {"size", engine::SplitMode::BySize},
      {"even", engine::SplitMode::Evenly}};
  o.mode = kModes.at(m_strMode);
  using Series = engine::Numerals::Series;
  static const std::map<std::string, Series> kSeries = {
      {"ascii", Series::Ascii}, {"fullwidth", Series::FullWidth}, {"chinese", Series::Chinese}};
  o.numerals = m_strNumerals.empty() ? Series::None : kSeries.at(m_strNumerals);
}

void CliApp::TakeTexts() {
  engine::SplitOptions& o = m_options;
  o.addHead = m_bHead;
  o.addTail = m_bTail;
  // Texts stay UTF-8: the run writes them in the pieces' encoding, or refuses them naming the
  // character that encoding cannot hold.
  o.textEncoding = engine::Encoding::Utf8;
  o.keywords = m_strKeywords;
  o.regex = m_strRegex;
  o.exclude = m_strExclude;
  o.volumeRegex = m_strVolumeRegex;
  o.head = m_strHead;
  o.tail = m_strTail;
  o.encoding = *engine::Encodings::Parse(m_strEncoding);
  o.outEncoding = m_strTo.empty() ? engine::Encoding::Auto : *engine::Encodings::Parse(m_strTo);
}

bool CliApp::TakeChapterChoices() {
  engine::SplitOptions& o = m_options;
  const auto chosen = engine::ChapterSelection::Parse(m_strChapters);
  if (!chosen) {
    std::fprintf(stderr, "sekato-cli: --chapters “%s”读不懂，应写成 1-50,60,75- 这样。\n",
                 m_strChapters.c_str());
    return false;
  }
  o.chapters = *chosen;
  if ((!m_strToc.empty() || !o.chapters.All() || o.join) &&
      o.mode != engine::SplitMode::ByChapter) {
    std::fprintf(stderr,
                 "sekato-cli: --toc、--chapters 和 --join 只用于按章节分割（-m chapter）。\n");
    return false;
  }
  if (o.volumeFolders &&
      (o.mode != engine::SplitMode::ByChapter || (!o.autoDetect && o.volumeRegex.empty()) ||
       !m_strToc.empty() || !o.chapters.All() || o.join)) {
    std::fprintf(stderr,
                 "sekato-cli: --volume-folders 只用于按章节分割，并且要有 --auto 或 "
                 "--volume-regex 找出卷标题；不能和 --toc、--chapters、--join 一起用。\n");
    return false;
  }
  if (!m_strToc.empty()) {
    std::string error;
    o.toc = TocFile::Read(m_strToc, error);
    if (!o.toc) {
      std::fprintf(stderr, "sekato-cli: 目录文件“%s”读不懂：%s\n", m_strToc.c_str(), error.c_str());
      return false;
    }
  }
  return true;
}

bool CliApp::BuildTransforms() {
  engine::SplitOptions& o = m_options;
  if (!m_strRulesFile.empty()) {
    std::ifstream file(m_strRulesFile, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) {
      std::fprintf(stderr, "sekato-cli: 无法读取替换规则文件“%s”。\n", m_strRulesFile.c_str());
      return false;
    }
    o.replaceRules = engine::ParseRulesFile(text.str(), m_strRulesFile);
  }
  std::int64_t place = 0;
  for (const std::string& rule : m_replaceRules) {
    o.replaceRules.push_back(engine::ReplaceRuleText::Parse(rule, ++place));
  }
  o.convert = m_strConvert.empty() ? engine::ScriptConversion::None
                                   : *engine::ScriptConversions::Parse(m_strConvert);
  // A list made with rules or a conversion is used with them, unless others are given.
  if (o.toc && !o.Transforms()) {
    place = 0;
    for (const std::string& rule : o.toc->replace) {
      o.replaceRules.push_back(engine::ReplaceRuleText::Parse(rule, ++place));
    }
    o.convert =
        engine::ScriptConversions::Parse(o.toc->convert).value_or(engine::ScriptConversion::None);
  }
  return true;
}

engine::SplitOptions CliApp::OptionsFor(const std::string& source) const {
  engine::SplitOptions o = m_options;
  o.sourcePath = source;
  o.sourceBase = engine::SourcePath::Base(source);
  o.sourceTitle = engine::SourcePath::Title(source);
  o.customName = m_strName.empty() ? o.sourceTitle : m_strName;
  // Several sources into one -o folder would overwrite each other's pieces: each gets its own.
  o.newFolder = m_sources.size() > 1 && !m_strOut.empty()
                    ? engine::OutputFolders::InChosen(m_strOut, source)
                    : m_strOut;
  return o;
}

int CliApp::Run(int argc, char** argv) {
  CLI::App app{
      "sekato-cli: split long text files (novels) into numbered .txt pieces,\n"
      "by chapter, by size or into equal parts.",
      "sekato-cli"};
  app.set_version_flag("--version", std::string("sekato-cli ") + engine::ProgramVersion::kFull);
  app.get_formatter()->column_width(28);
  AddSplitOptions(app);
  AddPieceOptions(app);
  AddRunOptions(app);
  AddTextOptions(app);
  app.add_option("SOURCE", m_sources,
                 "The text files to split (GBK, GB18030, Big5, UTF-8 or UTF-16)")
      ->required();
  app.footer(
      "Numbers are read like the window's fields: leading digits count, \"abc\" reads as 0.\n"
      "After a split a summary goes to stderr; when no heading was found or chapter numbers\n"
      "are missing or repeated, it adds what --list would suggest.\n"
      "Sources that would write into one folder are refused together, before anything is\n"
      "written. Pieces of an earlier split that this one did not overwrite are counted on\n"
      "stderr; --clean removes them first. A source that is not text (a picture, an archive,\n"
      "NUL bytes throughout) is refused unless -e names its encoding.\n"
      "Exit status, the worst of all sources: 0 done, 1 options refused, 2 read or write\n"
      "failure, 130 stopped (Ctrl-C or SIGTERM).");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitRefused;
  }
  m_bHead = app.count("--head") > 0;
  m_bTail = app.count("--tail") > 0;
  if (!BuildOptions()) return kExitRefused;
  if (m_sources.size() > 1 && !m_bList && SharesAFolder()) return kExitRefused;
  return RunSources();
}

void CliApp::AddSplitOptions(CLI::App& app) {
  engine::SplitOptions& o = m_options;
  app.add_option("-m,--mode", m_strMode, "How to split: chapter, size or even")
      ->check(CLI::IsMember({"chapter", "size", "even"}))
      ->capture_default_str();
  app.add_option("-o,--out", m_strOut,
                 "Directory for the pieces (default: a directory named after SOURCE, "
                 "beside it); with several sources, DIR/<source name> each");
  auto* name = app.add_option("-n,--name", m_strName, "Name pieces NAME_001.txt, NAME_002.txt…");
  app.add_flag("--title-names", m_bTitleNames, "Chapter mode: name pieces 001_<chapter title>.txt")
      ->excludes(name);
  app.add_option("-k,--keywords", m_strKeywords,
                 "Heading keywords, in order, separated by spaces; ? stands for the next "
                 "chapter number")
      ->capture_default_str();
  app.add_option("--numerals", m_strNumerals,
                 "How ? is written: ascii (1,2,3), fullwidth (１,２,３) or chinese (一,二,三)")
      ->check(CLI::IsMember({"ascii", "fullwidth", "chinese"}));
  auto* regex = app.add_option(
      "--regex", m_strRegex,
      "Chapter mode: headings are lines this regular expression (PCRE2, Perl syntax) finds, "
      "instead of the keywords; a group (?<n>...) must hold the next chapter number");
  app.add_option("--exclude", m_strExclude,
                 "With --regex: lines this regular expression finds are body text")
      ->needs(regex);
  app.add_option("--volume-regex", m_strVolumeRegex,
                 "With --regex: volume headings; each opens the piece of the chapter after it, "
                 "and chapter numbers may start again after it")
      ->needs(regex);
  app.add_flag("--volume-folders", o.volumeFolders,
               "Chapter mode with --auto or --volume-regex: each volume's pieces go into a "
               "folder of its own, 01_<volume title>/; pieces are numbered on across them");
  app.add_option("--first-number", o.firstNumber,
                 "With --regex: the chapter numbers its group n reads start at N, not at 1 (a "
                 "book that begins at chapter 95)")
      ->check(CLI::PositiveNumber)
      ->needs(regex);
  app.add_option("--headings-from", o.headingsFrom,
                 "Chapter mode: no line before LINE is a heading (a contents block in front "
                 "is preface)")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--auto", o.autoDetect,
               "Chapter mode: find how the headings look (numbered forms, volumes, special "
               "headings, a contents block) and split by that; with --list, show what it found")
      ->excludes(regex);
}

void CliApp::AddPieceOptions(CLI::App& app) {
  engine::SplitOptions& o = m_options;
  app.add_option("--title-max", m_strTitleMax, "Largest heading, in Chinese characters")
      ->capture_default_str();
  app.add_option("-p,--per", m_strPer, "Chapters per piece")->capture_default_str();
  app.add_option("--kb", m_strKb, "Size mode: largest piece in KB")->capture_default_str();
  app.add_flag("--keep-lines", o.keepLines,
               "Size mode: move the line that crosses the limit whole into the next piece");
  app.add_option("--parts", m_strParts, "Even mode: number of parts")->capture_default_str();
  app.add_flag("--trim", o.trimSpaces,
               "Make full-width spaces ASCII, drop trailing blanks and blank lines");
  app.add_flag("--no-ad", o.noPromotion, "Leave out the line naming sekato at the end of pieces");
  app.add_option("--head", m_strHead, "Text written at the start of every piece");
  app.add_option("--tail", m_strTail, "Text written at the end of every piece");
  app.add_option("-e,--encoding", m_strEncoding,
                 "The source's encoding; auto detects it (GBK when in doubt)")
      ->check(CLI::IsMember(EncodingNames(true), CLI::ignore_case))
      ->capture_default_str();
  app.add_option("--to", m_strTo,
                 "The pieces' encoding (default: the source's), converted as it is written")
      ->check(CLI::IsMember(EncodingNames(false), CLI::ignore_case));
}

void CliApp::AddRunOptions(CLI::App& app) {
  engine::SplitOptions& o = m_options;
  auto* list = app.add_flag("--list", m_bList,
                            "Write nothing: list the chapter headings the options find, the "
                            "pieces, numbering gaps and repeats, and hints");
  app.add_flag("--json", m_bJson,
               "With --list: print JSON (one object; an array for several "
               "sources)")
      ->needs(list);
  app.add_option("-j,--jobs", m_nJobs,
                 "Sources handled at once (default: one per processor it may use, as nproc counts)")
      ->check(CLI::PositiveNumber);
  app.add_flag("--clean", m_bClean,
               "Remove older pieces (NAME_NNN.txt, and NNN_<title>.txt with --title-names) "
               "from the output directory before writing");
  app.add_flag("-q,--quiet", m_bQuiet,
               "No progress bar, source encoding line, completion message or summary");
  auto* toc = app.add_option("--toc", m_strToc,
                             "Chapter mode: cut before the lines FILE lists (the JSON of "
                             "--list --json, or LINE[<TAB>TITLE] a line) instead of by the "
                             "keywords")
                  ->excludes(list);
  app.add_flag("--force", o.force,
               "With --toc: take a list made for another book while every line it names is "
               "there")
      ->needs(toc);
  app.add_option("--chapters", m_strChapters,
                 "Chapter mode: write only these chapters (1-50,60,75-), in pieces numbered as "
                 "in the full split")
      ->excludes(list);
  app.add_flag("--join", o.join,
               "Chapter mode: write the chosen chapters into one file, NAME_<first>-<last>.txt")
      ->excludes(list);
}

void CliApp::AddTextOptions(CLI::App& app) {
  std::vector<std::string> conversions;
  for (const auto conversion : engine::ScriptConversions::kAll) {
    conversions.emplace_back(engine::ScriptConversions::Name(conversion));
  }
  app.add_option("--convert", m_strConvert,
                 "Turn the text into the other script with OpenCC's tables, after the "
                 "replacement rules and before headings are matched: s2t, t2s, s2tw, tw2s, "
                 "s2hk, hk2s, s2twp or tw2sp")
      ->check(CLI::IsMember(conversions));
  app.add_option("--replace", m_replaceRules,
                 "Replace what PATTERN (PCRE2) finds in each line by REPLACEMENT ($1, ${name} "
                 "for groups); PATTERN alone deletes it. Repeatable; applied in order, after "
                 "the --rules file's")
      ->type_name("'PATTERN=>REPLACEMENT'");
  app.add_option("--rules", m_strRulesFile,
                 "Replacement rules from FILE (UTF-8): one PATTERN=>REPLACEMENT or PATTERN a "
                 "line, # starts a comment line")
      ->type_name("FILE");
}

bool CliApp::SharesAFolder() const {
  // Two books writing into one folder would overwrite each other's pieces, and which one
  // wins would depend on -j and timing: such a batch is refused before anything is made.
  std::vector<engine::SplitOptions> runs;
  runs.reserve(m_sources.size());
  for (const auto& source : m_sources) runs.push_back(OptionsFor(source));
  if (const auto clash = engine::OutputFolders::FindClash(runs)) {
    const std::string text = engine::Message(engine::MessageId::SharedFolder,
                                             {m_sources[clash->first], m_sources[clash->second],
                                              engine::OutputFolders::Of(runs[clash->second])})
                                 .Text();
    std::fprintf(stderr, "sekato-cli: %s\n", text.c_str());
    return true;
  }
  return false;
}

int CliApp::RunSources() {
  InterruptFlag interrupt;
  const std::size_t count = m_sources.size();
  const bool batch = count > 1;
  std::unique_ptr<ListOutput> listing;
  if (m_bList) {
    listing = std::make_unique<ListOutput>(
        stdout, m_bJson ? ListOutput::Form::Json : ListOutput::Form::Table, m_sources);
  }
  // A source never started because of Ctrl-C counts as stopped.
  std::vector<int> statuses(count, kExitStopped);
  // A lone source takes the chapter list along, several take a copy each: a list of a
  // hundred thousand headings is megabytes of titles.
  std::optional<engine::ChapterList> lone;
  if (count == 1) lone = std::exchange(m_options.toc, std::nullopt);
  const auto handle = [&](std::size_t i) {
    engine::SplitOptions options = OptionsFor(m_sources[i]);
    if (lone) options.toc = std::move(lone);
    SourceRun run(std::move(options), batch ? m_sources[i] + ": " : std::string(), m_bQuiet,
                  !batch, interrupt.Flag());
    if (listing) {
      statuses[i] = run.List(m_bJson, listing->Begin(i));
      listing->End(i);
    } else {
      statuses[i] = run.Split(m_bClean);
    }
  };
  const unsigned jobs =
      std::min<std::size_t>(count, m_nJobs > 0 ? m_nJobs : engine::WorkerPool::Processors());
  std::atomic<std::size_t> next{0};
  engine::WorkerPool::Run(jobs, [&] {
    for (std::size_t i = next++; i < count && interrupt.Flag().load() != 0; i = next++) handle(i);
  });

  std::string reason;
  if (listing && !listing->Finish(reason)) {
    std::fprintf(stderr, "sekato-cli: 无法写出列表：%s\n", reason.c_str());
    statuses.push_back(kExitFailed);
  }
  return *std::max_element(statuses.begin(), statuses.end());
}

}  // namespace sekato::cli
