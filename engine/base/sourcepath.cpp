#include "sekato/sourcepath.h"

#include <sys/stat.h>

namespace sekato::engine {

namespace {
std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the dot that starts the file name's extension, or npos. A name that only
// starts with a dot (".profile") has no extension.
std::size_t ExtensionDot(const std::string& path) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= start) return std::string::npos;
  return dot;
}
}  // namespace

std::string SourcePath::Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SourcePath::FileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string SourcePath::Base(const std::string& path) {
  const std::size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(0, dot);
}

std::string SourcePath::Title(const std::string& path) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = ExtensionDot(path);
  return path.substr(start, (dot == std::string::npos ? path.size() : dot) - start);
}

bool SourcePath::IsSpecialFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

}  // namespace sekato::engine
