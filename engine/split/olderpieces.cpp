#include "sekato/olderpieces.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "piecenamer.h"
#include "sekato/outputfolders.h"

namespace sekato::engine {

namespace {

// The sequence number of "NAME_NNN.txt", or 0 when `fileName` is not one of `namePart`.
std::int64_t SequenceNumber(const std::string& fileName, const std::string& namePart) {
  if (!PieceNamer::IsPieceName(fileName, namePart)) return 0;
  const std::size_t underscore = fileName.find_last_of('_');
  const std::string digits = fileName.substr(underscore + 1, fileName.size() - underscore - 5);
  return std::stoll(digits);
}

bool IsRegular(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool OlderPieces::IsTitlePieceName(const std::string& fileName) {
  constexpr std::size_t kSuffix = 4;                // ".txt"
  if (fileName.size() < kSuffix + 5) return false;  // "NNN_" and a title of one byte at least
  std::string suffix = fileName.substr(fileName.size() - kSuffix);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  if (suffix != ".txt") return false;
  const std::size_t underscore = fileName.find('_');
  if (underscore == std::string::npos || underscore < 3 ||
      underscore + 1 >= fileName.size() - kSuffix) {
    return false;
  }
  const std::string digits = fileName.substr(0, underscore);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
  // Written as SequenceText writes numbers: three digits at least, no other leading zero.
  return digits.size() == 3 || digits[0] != '0';
}

bool OlderPieces::Older(const std::string& name, const SplitOptions& options, std::int64_t pieces) {
  const std::string& namePart =
      options.naming == PieceNaming::Custom ? options.customName : options.sourceTitle;
  return SequenceNumber(name, namePart) > std::max<std::int64_t>(pieces, 0) ||
         (options.naming == PieceNaming::ChapterTitle && IsTitlePieceName(name));
}

std::vector<std::string> OlderPieces::Kept(const std::vector<std::string>& before,
                                           const SplitOptions& options, std::int64_t pieces) {
  std::vector<std::string> kept;
  for (const std::string& name : before) {
    if (Older(name, options, pieces)) kept.push_back(name);
  }
  return kept;
}

std::vector<std::string> OlderPieces::Find(const SplitOptions& options, std::int64_t pieces) {
  std::vector<std::string> found;
  const std::string folder = OutputFolders::Of(options);
  if (folder.empty()) return found;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    // Links and folders are no pieces: the run refuses to write through them anyway.
    if (Older(name, options, pieces) && IsRegular(folder + "/" + name)) found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

bool OlderPieces::Remove(const std::string& folder, const std::vector<std::string>& names,
                         std::string& error) {
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      error = path + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace sekato::engine
