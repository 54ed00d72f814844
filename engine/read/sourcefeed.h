#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bytesource.h"

namespace sekato::engine {

class BlockReader;
class SourceDecoder;

/// Where the bytes a LineReader cuts into lines come from: the source file, read as it lies
/// or through a decoder (which checks or converts it), straight or read ahead in blocks on a
/// thread of its own (see BlockReader). It keeps the memory they lie in: its own buffer, or
/// the block read ahead, with room before it for what the block before left unfinished.
///
/// Each Refill keeps the bytes the reader has not taken (an unfinished line) in front of the
/// new ones, so a line always lies in one span: with "ab\ncd" read as "ab\nc", then "d", and
/// "ab\n" taken, the window holds "cd" after the second Refill.
class SourceFeed final {
 public:
  /// The bytes at hand: [data + begin, data + end), in memory of `capacity` bytes from data.
  /// Valid until the next Refill or MakeRoom.
  struct Window {
    char* data = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t capacity = 0;
  };
  enum class Got { Bytes, End, Failed };

  SourceFeed();
  ~SourceFeed();
  SourceFeed(const SourceFeed&) = delete;
  SourceFeed& operator=(const SourceFeed&) = delete;

  /// Opens `path` with an own buffer of `bufferBytes`, which `window` then shows empty;
  /// false with the system's reason in `error`.
  bool Open(const std::string& path, std::size_t bufferBytes, Window& window, std::string& error);
  /// Stops the reading ahead (before the file goes) and closes the file.
  void Close();
  const ByteSource& File() const { return m_file; }

  /// Bytes come through `decoder` (see LineReader::SetDecoder); null: the file as it is.
  void SetDecoder(SourceDecoder* decoder);
  const SourceDecoder* Decoder() const { return m_pDecoder; }
  /// The decoder converts: the file's bytes are not the text.
  bool Converts() const { return m_bConverting; }

  /// From a source `fromBytes` long on (-1: never), bytes not converted are read ahead,
  /// `chunkBytes` a block. Set before reading.
  void SetReadAhead(std::int64_t fromBytes, std::size_t chunkBytes) {
    m_nReadAheadFrom = fromBytes;
    m_nAheadChunk = chunkBytes;
  }
  /// Blocks the reading thread keeps read, the one being taken from included (at least two).
  void SetAheadBlocks(std::size_t blocks) { m_nAheadBlocks = blocks; }

  /// Moves the bytes not taken to the front of the own buffer, which grows when they fill
  /// it (or leave a decoder too little room): `window` then has room after its end. Only
  /// while nothing is read ahead.
  void MakeRoom(Window& window);
  /// More bytes after the window's end, the bytes not taken kept before them; the end of the
  /// source, or a failure with the reason in `error`. Reads ahead from the first Refill on
  /// when SetReadAhead asks for it and `mayReadAhead`.
  Got Refill(Window& window, bool mayReadAhead, std::string& error);
  /// Up to `size` bytes straight from the read position (through the decoder), into memory
  /// of the caller's: as Refill would give them next. Only while nothing is read ahead.
  ssize_t ReadStraight(char* data, std::size_t size, std::string& error);

  /// Offset in the file of the first byte that begins no valid character among the bytes
  /// handed out so far; -1 when none or no decoder checks them.
  std::int64_t FirstInvalid() const;
  /// The largest the memory bytes lie in has been since Open.
  std::size_t LargestBuffer() const { return m_nLargestBuffer; }

 private:
  Got RefillAhead(Window& window, std::string& error);
  /// Bytes lie in the own buffer, which holds at least `size` bytes.
  void UseOwn(Window& window, std::size_t size);
  /// Gives the blocks read ahead back until `keep` are held.
  void Release(std::size_t keep);
  /// The reason a read failed: the decoder's, else the system's for `error`.
  std::string Reason(int error) const;

  ByteSource m_file;
  std::vector<char> m_own;
  std::size_t m_nLargestBuffer = 0;
  SourceDecoder* m_pDecoder = nullptr;
  bool m_bConverting = false;
  std::int64_t m_nReadAheadFrom = -1;  ///< never, unless told
  std::size_t m_nAheadChunk = std::size_t{1} << 18;
  std::size_t m_nAheadBlocks = 2;
  std::unique_ptr<BlockReader> m_pAhead;  ///< set up at the first Refill where it pays
  std::size_t m_nHeld = 0;                ///< blocks of m_pAhead held
  bool m_bAheadDone = false;              ///< the last block was taken
  int m_nAheadError = 0;  ///< a failure read with the last block, told once its bytes are taken
  std::int64_t m_nFirstInvalid = -1;  ///< as it was after the block last taken
  bool m_bStarted = false;            ///< Refill has read: too late to start reading ahead
};

}  // namespace sekato::engine
