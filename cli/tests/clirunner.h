#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace sekato::cli::test {

/// A fresh folder for one test, with sekato-cli run in it.
class CliRunner final {
 public:
  CliRunner();
  ~CliRunner();
  CliRunner(const CliRunner&) = delete;
  CliRunner& operator=(const CliRunner&) = delete;

  /// Runs sekato-cli with `args` in the folder, stdout and stderr into files; returns its exit
  /// status (128 + the signal when one ended it), and its peak resident set in `peakKiB`.
  int Run(const std::vector<std::string>& args, long* peakKiB = nullptr);

  const std::filesystem::path& Dir() const { return m_dir; }
  /// A path in the folder.
  std::string operator/(const std::string& name) const { return (m_dir / name).string(); }
  const std::string& Stdout() const { return m_stdout; }
  const std::string& Stderr() const { return m_stderr; }
  /// Where the last run's stdout is kept.
  std::string StdoutPath() const { return (m_work / "stdout").string(); }
  /// Sends the next runs' stdout to `path` (a device such as /dev/full) instead.
  void SetStdout(std::string path) { m_stdoutTo = std::move(path); }

 private:
  std::filesystem::path m_work;  ///< holds the folder and what the program printed
  std::filesystem::path m_dir;
  std::string m_stdoutTo;
  std::string m_stdout;
  std::string m_stderr;
};

std::string ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, const std::string& bytes);

}  // namespace sekato::cli::test
