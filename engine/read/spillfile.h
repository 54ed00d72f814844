#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sekato::engine {

/// A file without a name that holds text on disk instead of in memory: the text of a long
/// line converted as it was read, so that it can be read again later in the run.
///
/// The file is unnamed from the start (O_TMPFILE), or unlinked right after mkstemp made it,
/// so nothing is left behind however the run ends. It is made in the folder asked for (the
/// pieces', a disk the run writes to anyway), else in $TMPDIR or /tmp.
class SpillFile final {
 public:
  SpillFile() = default;
  ~SpillFile() { Close(); }
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  /// Makes an empty file; false with the reason in `error`.
  bool Open(const std::string& folder, std::string& error);
  bool IsOpen() const { return m_fd >= 0; }
  void Close();

  /// Bytes the file holds.
  std::int64_t Size() const { return m_nSize; }

  /// Adds `size` bytes at the end; false with the reason (a full disk) when not all of them
  /// could be written, and then the file holds what it held before.
  bool Append(const char* data, std::size_t size, std::string& error);

  /// Reads `size` bytes at `offset`, all of which the file holds; false with the reason.
  bool ReadAt(std::int64_t offset, char* data, std::size_t size, std::string& error) const;

  /// Drops the first `bytes`, moving the rest to the front: offsets then count from there.
  /// Dropping everything only empties the file.
  bool DropFront(std::int64_t bytes, std::string& error);

 private:
  int m_fd = -1;
  std::int64_t m_nSize = 0;
};

}  // namespace sekato::engine
