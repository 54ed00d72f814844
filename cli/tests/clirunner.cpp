#include "clirunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace sekato::cli::test {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

CliRunner::CliRunner() {
  std::string pattern = (fs::temp_directory_path() / "sekato-cli-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_work = pattern;
  // The program's output lies beside the folder, so a listing of the folder shows only what
  // the program made.
  m_dir = m_work / "dir";
  fs::create_directory(m_dir);
}

CliRunner::~CliRunner() { fs::remove_all(m_work); }

int CliRunner::Run(const std::vector<std::string>& args, long* peakKiB) {
  std::vector<std::string> argv = {SEKATO_CLI};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  const std::string out = m_stdoutTo.empty() ? StdoutPath() : m_stdoutTo;
  const std::string err = (m_work / "stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, m_dir.c_str());
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start sekato-cli");
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  if (peakKiB != nullptr) *peakKiB = usage.ru_maxrss;
  m_stdout = m_stdoutTo.empty() ? ReadAll(out) : std::string();
  m_stderr = ReadAll(err);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace sekato::cli::test
