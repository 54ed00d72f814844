#pragma once

#include <string>
#include <vector>

#include "sekato/numerals.h"
#include "sekato/runtally.h"
#include "sekato/splitoptions.h"

namespace CLI {
class App;
}  // namespace CLI

namespace sekato::cli {

/// The command line: `sekato-cli [OPTIONS] SOURCE...`.
///
/// Each SOURCE is split as if it were alone (with -o DIR and several sources, each into
/// DIR/<its title>), up to `-j N` at once; one that fails does not stop the others. A batch
/// where two sources would write into one folder is refused whole before anything is made. `--list`
/// writes nothing and prints what a chapter split would find instead.
///
/// Exit status, the worst of all sources: 0 completed, 1 options refused (by the parser or
/// by the run), 2 input or output failure, 130 stopped with Ctrl-C.
class CliApp final {
 public:
  static constexpr int kExitDone = 0;
  static constexpr int kExitRefused = 1;
  static constexpr int kExitFailed = 2;
  static constexpr int kExitStopped = 130;

  /// Parses `argv` and runs every source; returns the exit status.
  int Run(int argc, char** argv);

 private:
  // The options, in the order --help lists them: how to split and where to (mode, folder,
  // names, headings); what the pieces hold (sizes, clean-up, head and tail, encodings); what
  // a run does (list, jobs, chapter lists and selections); the text's clean-up by rules and
  // conversion.
  void AddSplitOptions(CLI::App& app);
  void AddPieceOptions(CLI::App& app);
  void AddRunOptions(CLI::App& app);
  void AddTextOptions(CLI::App& app);
  /// A batch in which two sources would write into one folder: says so and returns true.
  bool SharesAFolder() const;
  /// Splits or lists every source, `-j` at once; returns the worst exit status.
  int RunSources();
  /// Turns the parsed UTF-8 values into the engine's options; false, having said why, when
  /// the chapter list or the chapter selection cannot be read.
  bool BuildOptions();
  /// Folder, names, mode, numerals and the numbers, as BuildOptions takes them.
  void TakeChoices();
  /// Head and tail, the heading texts and the encodings.
  void TakeTexts();
  /// The chapter selection, what may go with it, and the chapter list; false, having said
  /// why, when they cannot be used.
  bool TakeChapterChoices();
  /// The replacement rules and the conversion, from the options or the chapter list.
  bool BuildTransforms();
  /// The options for one source.
  engine::SplitOptions OptionsFor(const std::string& source) const;

  engine::SplitOptions m_options;
  std::vector<std::string> m_sources;
  std::string m_strMode = "chapter";
  std::string m_strOut;
  std::string m_strName;
  bool m_bTitleNames = false;
  std::string m_strKeywords = "第  章";
  std::string m_strNumerals;
  std::string m_strRegex;  ///< heading rule, UTF-8; empty: the keywords
  std::string m_strExclude;
  std::string m_strVolumeRegex;      ///< volume headings, UTF-8
  std::string m_strTitleMax = "20";  ///< numbers as typed; see BuildOptions
  std::string m_strPer = "1";
  std::string m_strKb = "1000";
  std::string m_strParts = "5";
  std::string m_strHead;
  std::string m_strTail;
  bool m_bHead = false;
  bool m_bTail = false;
  bool m_bQuiet = false;
  bool m_bClean = false;  ///< remove older pieces in a run's folder before it writes
  std::string m_strEncoding = "auto";
  std::string m_strTo;
  std::string m_strToc;
  std::string m_strConvert;                 ///< "s2t" and the like; empty: none
  std::vector<std::string> m_replaceRules;  ///< --replace, in order
  std::string m_strRulesFile;               ///< --rules
  std::string m_strChapters;
  bool m_bList = false;
  bool m_bJson = false;
  unsigned m_nJobs = 0;
};

}  // namespace sekato::cli
