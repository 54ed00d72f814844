#pragma once

#include <string>
#include <vector>

#include "splitoptions.h"

namespace sekato::cli {

/// The command line: `sekato-cli [OPTIONS] SOURCE`.
///
/// Exit status: 0 completed, 1 options refused (by the parser or by the run), 2 input or
/// output failure, 130 stopped with Ctrl-C.
class CliApp final {
 public:
  static constexpr int kExitDone = 0;
  static constexpr int kExitRefused = 1;
  static constexpr int kExitFailed = 2;
  static constexpr int kExitStopped = 130;

  /// Parses `argv` and runs the split; returns the exit status.
  int Run(int argc, char** argv);

 private:
  /// Turns the parsed UTF-8 values into the engine's options.
  bool BuildOptions();

  engine::SplitOptions m_options;
  std::string m_strSource;
  std::string m_strMode = "chapter";
  std::string m_strOut;
  std::string m_strName;
  bool m_bTitleNames = false;
  std::string m_strKeywords = "第  章";
  std::string m_strNumerals;
  std::string m_strHead;
  std::string m_strTail;
  bool m_bHead = false;
  bool m_bTail = false;
  bool m_bQuiet = false;
  std::string m_strEncoding = "auto";
  std::string m_strTo;
  int m_nSeries = -1;
};

}  // namespace sekato::cli
