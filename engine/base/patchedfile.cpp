#include "patchedfile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "fileops.h"

namespace sekato::engine {

namespace {

struct Published {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const PatchedFile>> files;
};

Published& Registry() {
  static Published published;
  return published;
}

}  // namespace

PatchedFile::PatchedFile(std::string basePath, std::int64_t baseEnd, std::vector<Edit> edits)
    : m_strBase(std::move(basePath)), m_nBaseEnd(baseEnd), m_edits(std::move(edits)) {
  std::int64_t shift = 0;  // bytes read minus base bytes, before the edit
  for (const Edit& edit : m_edits) {
    m_starts.push_back(edit.offset + shift);
    shift += static_cast<std::int64_t>(edit.bytes.size()) - edit.length;
  }
  m_nLength = m_nBaseEnd + shift;
}

ssize_t PatchedFile::ReadAt(int fd, char* out, std::size_t capacity, std::int64_t offset) const {
  std::size_t produced = 0;
  while (produced < capacity && offset < m_nLength) {
    // The edits that begin at or before `offset`; the last of them may hold it.
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    const auto index = static_cast<std::size_t>(after - m_starts.begin());
    const std::size_t room = capacity - produced;
    if (index > 0) {
      const Edit& edit = m_edits[index - 1];
      const std::int64_t start = m_starts[index - 1];
      const auto into = static_cast<std::size_t>(offset - start);
      if (into < edit.bytes.size()) {
        const std::size_t take = std::min(room, edit.bytes.size() - into);
        std::memcpy(out + produced, edit.bytes.data() + into, take);
        produced += take;
        offset += static_cast<std::int64_t>(take);
        continue;
      }
    }
    // Base bytes, up to the next edit or the end.
    std::int64_t base = offset;
    if (index > 0) {
      const Edit& edit = m_edits[index - 1];
      base = edit.offset + edit.length +
             (offset - m_starts[index - 1] - static_cast<std::int64_t>(edit.bytes.size()));
    }
    const std::int64_t stretch = (index < m_starts.size() ? m_starts[index] : m_nLength) - offset;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(stretch, static_cast<std::int64_t>(room)));
    const ssize_t got = FileOps::ReadSomeAt(fd, out + produced, want, base);
    if (got < 0) return produced > 0 ? static_cast<ssize_t>(produced) : -1;
    if (got == 0) break;  // the base is shorter than it was: the reader sees the text end
    produced += static_cast<std::size_t>(got);
    offset += got;
  }
  return static_cast<ssize_t>(produced);
}

void PatchedFile::Publish(const std::string& path, std::shared_ptr<const PatchedFile> file) {
  Published& published = Registry();
  const std::lock_guard lock(published.mutex);
  published.files[path] = std::move(file);
}

void PatchedFile::Withdraw(const std::string& path) {
  Published& published = Registry();
  const std::lock_guard lock(published.mutex);
  published.files.erase(path);
}

std::shared_ptr<const PatchedFile> PatchedFile::Find(const std::string& path) {
  Published& published = Registry();
  const std::lock_guard lock(published.mutex);
  const auto found = published.files.find(path);
  return found == published.files.end() ? nullptr : found->second;
}

}  // namespace sekato::engine
