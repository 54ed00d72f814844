#include "cliapp.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>

#include "encoding.h"
#include "programversion.h"
#include "sourcepath.h"
#include "splitrun.h"
#include "terminalhost.h"

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
  engine::SplitOptions& o = m_options;
  o.m_strSrcPath = m_strSource;
  o.m_strSrcBase = engine::SourcePath::Base(m_strSource);
  o.m_strSrcTitle = engine::SourcePath::Title(m_strSource);
  o.m_nDirMode = m_strOut.empty() ? 1 : 0;
  o.m_strNewDir = m_strOut;
  o.m_nNameMode = m_bTitleNames ? 2 : (m_strName.empty() ? 0 : 1);
  o.m_strCustomName = m_strName.empty() ? o.m_strSrcTitle : m_strName;
  static const std::map<std::string, int> kModes = {{"chapter", 0}, {"size", 1}, {"even", 2}};
  o.m_nSplitMode = kModes.at(m_strMode);
  static const std::map<std::string, int> kSeries = {
      {"ascii", 0}, {"fullwidth", 1}, {"chinese", 2}};
  m_nSeries = m_strNumerals.empty() ? -1 : kSeries.at(m_strNumerals);
  o.m_bAddHead = m_bHead;
  o.m_bAddTail = m_bTail;
  // Texts stay UTF-8: the run writes them in the pieces' encoding, or refuses them naming the
  // character that encoding cannot hold.
  o.m_textEncoding = engine::Encoding::Utf8;
  o.m_strKeywords = m_strKeywords;
  o.m_strHead = m_strHead;
  o.m_strTail = m_strTail;
  o.m_encoding = *engine::Encodings::Parse(m_strEncoding);
  o.m_outEncoding =
      m_strTo.empty() ? engine::Encoding::Auto : *engine::Encodings::Parse(m_strTo);
  return true;
}

int CliApp::Run(int argc, char** argv) {
  engine::SplitOptions& o = m_options;
  CLI::App app{"sekato-cli: split a long text file (a novel) into numbered .txt pieces,\n"
               "by chapter, by size or into equal parts.",
               "sekato-cli"};
  app.set_version_flag("--version", std::string("sekato-cli ") + engine::ProgramVersion::kFull);
  app.get_formatter()->column_width(28);

  app.add_option("-m,--mode", m_strMode, "How to split: chapter, size or even")
      ->check(CLI::IsMember({"chapter", "size", "even"}))
      ->capture_default_str();
  app.add_option("-o,--out", m_strOut,
                 "Directory for the pieces (default: a directory named after SOURCE, "
                 "beside it)");
  auto* name = app.add_option("-n,--name", m_strName, "Name pieces NAME_001.txt, NAME_002.txt…");
  app.add_flag("--title-names", m_bTitleNames,
               "Chapter mode: name pieces 001_<chapter title>.txt")
      ->excludes(name);
  app.add_option("-k,--keywords", m_strKeywords,
                 "Heading keywords, in order, separated by spaces; ? stands for the next "
                 "chapter number")
      ->capture_default_str();
  app.add_option("--numerals", m_strNumerals,
                 "How ? is written: ascii (1,2,3), fullwidth (１,２,３) or chinese (一,二,三)")
      ->check(CLI::IsMember({"ascii", "fullwidth", "chinese"}));
  app.add_option("--title-max", o.m_strTitleMax, "Largest heading, in Chinese characters")
      ->capture_default_str();
  app.add_option("-p,--per", o.m_strChaptersPerFile, "Chapters per piece")
      ->capture_default_str();
  app.add_option("--kb", o.m_strMaxKB, "Size mode: largest piece in KB")->capture_default_str();
  app.add_flag("--keep-lines", o.m_bKeepLines,
               "Size mode: move the line that crosses the limit whole into the next piece");
  app.add_option("--parts", o.m_strParts, "Even mode: number of parts")->capture_default_str();
  app.add_flag("--trim", o.m_bTrimSpaces,
               "Make full-width spaces ASCII, drop trailing blanks and blank lines");
  app.add_flag("--no-ad", o.m_bNoAd, "Leave out the line naming sekato at the end of pieces");
  app.add_option("--head", m_strHead, "Text written at the start of every piece");
  app.add_option("--tail", m_strTail, "Text written at the end of every piece");
  app.add_option("-e,--encoding", m_strEncoding,
                 "The source's encoding; auto detects it (GBK when in doubt)")
      ->check(CLI::IsMember(EncodingNames(true), CLI::ignore_case))
      ->capture_default_str();
  app.add_option("--to", m_strTo,
                 "The pieces' encoding (default: the source's), converted as it is written")
      ->check(CLI::IsMember(EncodingNames(false), CLI::ignore_case));
  app.add_flag("-q,--quiet", m_bQuiet,
               "No progress bar, no source encoding line and no completion message");
  app.add_option("SOURCE", m_strSource,
                 "The text file to split (GBK, GB18030, Big5, UTF-8 or UTF-16)")
      ->required();
  app.footer(
      "Numbers are read like the window's fields: leading digits count, \"abc\" reads as 0.\n"
      "Exit status: 0 done, 1 options refused, 2 read or write failure, 130 stopped "
      "(Ctrl-C or SIGTERM).");

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

  TerminalHost host(m_nSeries, m_bQuiet);
  switch (engine::SplitThreadProc(m_options, host)) {
    case engine::SplitOutcome::Completed:
      return kExitDone;
    case engine::SplitOutcome::Stopped:
      return kExitStopped;
    case engine::SplitOutcome::Refused:
      return kExitRefused;
    case engine::SplitOutcome::Failed:
      break;
  }
  return kExitFailed;
}

}  // namespace sekato::cli
