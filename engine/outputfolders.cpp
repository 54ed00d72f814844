#include "outputfolders.h"

#include <sys/stat.h>

#include <map>
#include <tuple>
#include <utility>

#include "sourcepath.h"

namespace sekato::engine {

namespace {

// The levels of `path`, without the empty ones ("a//b", "a/") and without ".".
std::vector<std::string> Levels(const std::string& path) {
  std::vector<std::string> levels;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string level = path.substr(start, slash - start);
    if (!level.empty() && level != ".") levels.push_back(std::move(level));
    start = slash + 1;
  }
  return levels;
}

// The first `count` levels as a path the system resolves: "/" or "." for none.
std::string Prefix(bool absolute, const std::vector<std::string>& levels, std::size_t count) {
  std::string path = absolute ? "/" : (count == 0 ? "." : "");
  for (std::size_t i = 0; i < count; ++i) path += (i > 0 ? "/" : "") + levels[i];
  return path;
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string OutputFolders::Of(const SplitOptions& o) {
  return o.folder == FolderChoice::NewFolder ? o.newFolder : o.sourceBase;
}

std::string OutputFolders::InChosen(const std::string& chosen, const std::string& sourcePath) {
  const bool slash = !chosen.empty() && chosen.back() == '/';
  return chosen + (slash ? "" : "/") + SourcePath::Title(sourcePath);
}

OutputFolders::Identity OutputFolders::Identify(const std::string& folder) {
  Identity id;
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) {
    id.exists = true;
    id.device = info.st_dev;
    id.inode = info.st_ino;
  }
  const bool absolute = !folder.empty() && folder.front() == '/';
  std::vector<std::string> levels = Levels(folder);
  // The last level is compared by name under its parent, whether it exists or not, so that
  // a folder made by an earlier run and one still to be made compare alike.
  std::string last;
  if (!levels.empty() && levels.back() != "..") {
    last = LowerAscii(levels.back());
    levels.pop_back();
  }
  // The deepest level of the parent that exists stands for everything above it: the system
  // resolves its links and "..".
  std::size_t existing = levels.size();
  for (;; --existing) {
    if (::stat(Prefix(absolute, levels, existing).c_str(), &info) == 0) {
      id.parentDevice = info.st_dev;
      id.parentInode = info.st_ino;
      break;
    }
    if (existing == 0) break;  // the working folder itself is gone: names alone tell apart
  }
  // Levels still to be made: ".." there undoes the level before it, as making them will.
  std::vector<std::string> below;
  for (std::size_t i = existing; i < levels.size(); ++i) {
    if (levels[i] == "..") {
      if (!below.empty()) below.pop_back();
    } else {
      below.push_back(LowerAscii(levels[i]));
    }
  }
  if (!last.empty()) below.push_back(last);
  for (std::size_t i = 0; i < below.size(); ++i) id.below += (i > 0 ? "/" : "") + below[i];
  return id;
}

bool OutputFolders::Same(const Identity& a, const Identity& b) {
  if (a.exists && b.exists && a.device == b.device && a.inode == b.inode) return true;
  return a.parentDevice == b.parentDevice && a.parentInode == b.parentInode && a.below == b.below;
}

std::optional<OutputFolders::Clash> OutputFolders::FindClash(
    const std::vector<SplitOptions>& runs) {
  std::map<std::tuple<dev_t, ino_t, std::string>, std::size_t> byName;
  std::map<std::pair<dev_t, ino_t>, std::size_t> byInode;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const std::string folder = Of(runs[i]);
    if (folder.empty()) continue;
    const Identity id = Identify(folder);
    const auto named = byName.emplace(std::tuple(id.parentDevice, id.parentInode, id.below), i);
    if (!named.second) return Clash{named.first->second, i};
    if (id.exists) {
      const auto found = byInode.emplace(std::pair(id.device, id.inode), i);
      if (!found.second) return Clash{found.first->second, i};
    }
  }
  return std::nullopt;
}

}  // namespace sekato::engine
