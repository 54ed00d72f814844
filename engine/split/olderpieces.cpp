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

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const std::string& NamePart(const SplitOptions& options) {
  return options.naming == PieceNaming::Custom ? options.customName : options.sourceTitle;
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
  return SequenceNumber(name, NamePart(options)) > std::max<std::int64_t>(pieces, 0) ||
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

bool OlderPieces::IsVolumeFolderName(const std::string& name) {
  const std::size_t digits = std::min(name.find('_'), name.size());
  return digits >= 2 && name.find_first_not_of("0123456789") >= digits &&
         (digits == name.size() || digits + 1 < name.size());
}

std::vector<std::string> OlderPieces::Kept(const std::vector<std::string>& before,
                                           const SplitOptions& options, const RunTally& tally) {
  if (tally.folders.empty()) return Kept(before, options, tally.pieces);
  std::vector<std::string> kept;
  const std::string top = OutputFolders::Of(options);
  for (const std::string& name : before) {
    const std::size_t slash = name.find('/');
    if (slash == std::string::npos) {
      // Every piece went into a volume folder, those written before the first volume
      // heading taken along: what stands there now is older.
      if (IsRegular(top + "/" + name)) kept.push_back(name);
      continue;
    }
    const std::string folder = name.substr(0, slash);
    const std::string file = name.substr(slash + 1);
    std::size_t i = 0;
    while (i < tally.folders.size() && tally.folders[i].name != folder) ++i;
    const std::int64_t first = i < tally.folders.size() ? tally.folders[i].firstPiece : 0;
    const std::int64_t last =
        i + 1 < tally.folders.size() ? tally.folders[i + 1].firstPiece - 1 : tally.pieces;
    const std::int64_t number = SequenceNumber(file, NamePart(options));
    if (number == 0 || number < first || number > last) kept.push_back(name);
  }
  return kept;
}

void OlderPieces::FindIn(const std::string& folder, const std::string& sub,
                         const SplitOptions& options, std::int64_t pieces,
                         std::vector<std::string>& found) {
  const std::string path = sub.empty() ? folder : folder + "/" + sub;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), &::closedir);
  if (!dir) return;
  std::vector<std::string> volumes;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    // Links and folders are no pieces: the run refuses to write through them anyway.
    if (Older(name, options, pieces) && IsRegular(path + "/" + name)) {
      found.push_back(sub.empty() ? name : sub + "/" + name);
    } else if (sub.empty() && options.volumeFolders && IsVolumeFolderName(name) &&
               IsFolder(path + "/" + name)) {
      volumes.push_back(name);
    }
  }
  for (const std::string& volume : volumes) FindIn(folder, volume, options, pieces, found);
}

std::vector<std::string> OlderPieces::Find(const SplitOptions& options, std::int64_t pieces) {
  std::vector<std::string> found;
  const std::string folder = OutputFolders::Of(options);
  if (folder.empty()) return found;
  FindIn(folder, {}, options, pieces, found);
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
    // A volume folder emptied goes with its last piece; one holding anything else stays.
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) ::rmdir((folder + "/" + name.substr(0, slash)).c_str());
  }
  return true;
}

}  // namespace sekato::engine
