#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "patchedfile.h"

namespace sekato::engine {

/// A source file open for reading, at the bottom of every reader: its length and identity as
/// they were at open, reads front to back, and reads at an offset that leave the position
/// where it was. A read a signal interrupts is tried again (see FileOps), so no reader above
/// ever sees EINTR.
///
/// Example: after Open of a 10-byte file, Read(out, 4) gives 4, ReadAt(out, 4, 8) gives 2
/// (the rest of the file) and the next Read gives bytes 4 to 7 as if nothing had come between.
class ByteSource final {
 public:
  ByteSource() = default;
  ~ByteSource() { Close(); }
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  /// Opens `path`, a regular file only (see FileOps::OpenSource); false with the system's
  /// reason in `error`. A path a PatchedFile is published under reads as that file (its
  /// identity the base's).
  bool Open(const std::string& path, std::string& error);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  /// The open file, for copies the kernel makes from it (its position is never moved).
  int Descriptor() const { return m_fd; }

  /// The file's length in bytes, at open.
  std::int64_t Length() const { return m_nLength; }
  /// The file's identity, so that no piece is ever written over it.
  dev_t Device() const { return m_device; }
  ino_t Inode() const { return m_inode; }

  /// At most `capacity` bytes from the read position on: the bytes read, 0 at the end, -1
  /// with errno set.
  ssize_t Read(char* out, std::size_t capacity) const;
  /// The same at `offset`, the read position left as it is.
  ssize_t ReadAt(char* out, std::size_t capacity, std::int64_t offset) const;
  /// Reads at `offset` until `size` bytes are in or the file ends: the bytes read; `error`
  /// is the errno of a failed read, else 0.
  std::size_t ReadFullyAt(char* out, std::size_t size, std::int64_t offset, int& error) const;

 private:
  int m_fd = -1;
  std::shared_ptr<const PatchedFile> m_patched;
  mutable std::int64_t m_nPosition = 0;  ///< Read's position in a patched file
  std::int64_t m_nLength = 0;
  dev_t m_device = 0;
  ino_t m_inode = 0;
};

}  // namespace sekato::engine
