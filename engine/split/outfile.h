#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "writebehind.h"

namespace sekato::engine {

class HelperCopy;

/// A file's identity on its device, whatever name leads to it.
struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
};

/// One piece file open for writing, in text mode: every line break is written as CR LF.
///
/// Writes go through a buffer that the object keeps from piece to piece. Once a buffer has
/// filled, and AllowWriteBehind said so, full buffers are written behind (see WriteBehind) on a thread of their own, in
/// order, while the next fills; whatever writes otherwise (a long run, a copy, Close) first
/// waits for them, so the file's bytes are always in the order they were given. The first
/// error is kept with the system's reason; later writes do nothing until the file is closed.
/// A failure of a write behind is seen by Failed a few buffers later at most, and by Close.
/// A file may also be closed behind (CloseBehind), its failure then seen by a later call.
class OutFile final {
 public:
  OutFile();
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  /// Why Create failed.
  enum class Refusal {
    None,
    System,       ///< the system's reason is in `error`
    Special,      ///< a symbolic link, a FIFO, a device or a folder stands at the path
    Untouchable,  ///< the path leads to one of the untouchable files; `hit` is its index
    Taken,        ///< with `onlyNew`: something, of whatever kind, has the name already
  };

  /// Creates `path` as a regular file (an existing one is emptied). A symbolic link at the
  /// path is never followed and nothing but a regular file is opened, so nothing outside the
  /// folder is ever written and a FIFO never blocks. A file in `untouchable` (the source,
  /// pieces this run must keep) is left as it is, whatever name leads to it. With `onlyNew`
  /// the file is made only where nothing has the name yet, and nothing already there is ever
  /// opened: a run that may still have to take its pieces back knows each one is its own.
  bool Create(const std::string& path, const std::vector<FileId>& untouchable, Refusal& refusal,
              std::size_t& hit, std::string& error, bool onlyNew = false);

  /// Opens a file without a name in the folder `directory` (O_TMPFILE): what is written to it
  /// is seen by no one until Release hands it on to be linked to its name, and goes with it
  /// when it is closed unlinked. False, with the system's reason, where the folder's file
  /// system has no such files (or `unnamed` is off, as tests want it to be).
  bool CreateUnnamed(const std::string& directory, bool unnamed, std::string& error);

  /// Flushes and gives up the open file without closing it: its descriptor, or -1 (with
  /// `error`) when anything failed since it was opened. The caller closes it.
  int Release(std::string& error);

  /// Drops the last `bytes` written (at most what the file holds): a piece that turned out
  /// to end where the book's text does gives back the book's last line break.
  void TakeBack(std::int64_t bytes);

  /// Bytes exactly as given (a source line never holds a line feed), taken before the call
  /// returns: a few are copied into the buffer, a long run goes straight to the file behind it.
  void Write(std::string_view bytes) {
    if (bytes.size() <= m_nFill - m_used) {
      std::copy(bytes.begin(), bytes.end(), m_pBuffer + m_used);
      m_used += bytes.size();
    } else {
      WriteSlow(bytes);
    }
  }

  /// Bytes exactly as given, left where they lie: they go out with what the buffer holds
  /// around them at the next flush, in one write, instead of being copied into it first. The
  /// caller keeps them in place until then, or calls SendInPlace before it lets them go.
  /// Only one run is kept so: a second sends the first. Pieces written as UTF-16, or behind,
  /// take the bytes as Write does.
  void WriteInPlace(std::string_view bytes);
  /// What the buffer holds and the bytes left in place go out now.
  void SendInPlace();

  /// Runs of lines given to WriteRunToClean are cleaned up as runs of `rules`' text are (see
  /// RunCleaner). Set before the first.
  void CleanRunsAs(const TextRules& rules) { m_cleaner.emplace(rules); }
  /// A run of lines still to be cleaned up (see RunCleaner::Clean; CleanRunsAs first), with
  /// what it keeps written as Write would. With `behind`, and once full buffers are written
  /// behind, the run is copied into the buffer as it lies and the writing thread cleans it
  /// there, just before it writes the buffer: the bytes on disk are the same, and the work is
  /// done on the other core. Otherwise it is cleaned where it lies (`run` changes) and
  /// written. Returns the bytes it counts for: the run's length when cleaned behind, else
  /// what it keeps. Example: "a\r\n\r\nb" counts 6 cleaned behind, else 4 ("a\r\nb").
  std::size_t WriteRunToClean(char* run, std::size_t size, bool behind);

  /// One line break: CR LF.
  void Break() { Write("\r\n"); }

  /// Bytes [offset, offset + size) of the file `from` as they lie, after what was written
  /// before, copied by the kernel without passing through the process: copy_file_range,
  /// else sendfile, else read and write, each tried where the one before cannot copy between
  /// these two files. The bytes copied: fewer than `size` when `from` ends first. Not for
  /// pieces written as UTF-16. A failure is kept as a failed write's is. From `kShareFrom`
  /// bytes on, a thread of its own copies the second half meanwhile (see HelperCopy).
  std::int64_t CopyFrom(int from, std::int64_t offset, std::int64_t size);
  static constexpr std::int64_t kShareFrom = std::int64_t{256} << 10;

  /// Text whose line feeds become CR LF (head text, tail text, the promotional line).
  void WriteText(std::string_view text);

  /// Flushes and closes; false (with `error`) when anything failed since Create, or in a
  /// file closed behind before it (FailedPath says which).
  bool Close(std::string& error);

  /// As Close, but once buffers are written behind the file's last bytes and its closing go
  /// to the writing thread, and this returns at once: the next file fills while this one is
  /// written. A failure of such a file is reported by a later Close, CloseBehind or
  /// SettleClosed, with FailedPath naming it. False (with `error`) only for a failure seen
  /// by now. Example: pieces A and B each closed behind, then SettleClosed; a disk that
  /// filled up in A's last buffer makes SettleClosed false with FailedPath() == A's path.
  bool CloseBehind(std::string& error);

  /// With no file open: waits for the files closed behind; false (with `error`) when one
  /// failed, FailedPath naming it.
  bool SettleClosed(std::string& error);

  /// The path of the file whose failure the last false Close, CloseBehind or SettleClosed
  /// reported (empty for a file opened without a name).
  const std::string& FailedPath() const { return m_strFailedPath; }

  /// From now on the text written is UTF-8 and goes to the file as UTF-16 (big-endian or
  /// little), converted as the buffer is flushed: a piece is always whole code units. A
  /// surrogate in UTF-8's form (ED A0 80 … ED BF BF, a lone one kept from a UTF-16 source)
  /// goes out as that code unit; any other byte that is not UTF-8 as U+FFFD. Kept for every
  /// later piece.
  void ConvertToUtf16(bool bigEndian);

  /// Lets full buffers be written behind (off until told): for a run whose own work on the
  /// text is worth doing while its pieces are written. Set before the first write.
  void AllowWriteBehind(bool allowed) { m_bBehindTried = !allowed; }

  bool IsOpen() const { return m_fd >= 0; }
  bool Failed() const { return m_nErrno != 0 || (m_behind && m_behind->Failed()); }

 private:
  void WriteSlow(std::string_view bytes);
  /// Cleans the runs the buffer holds still to be cleaned, here, and closes it up: for a
  /// buffer written by this thread.
  void CleanHere();
  /// The buffer's runs to be cleaned by the writing thread, forgotten here.
  WriteBehind::ToClean TakeToClean();
  void Flush();
  /// The buffer's bytes go out: handed over to be written behind once that has begun (a
  /// full buffer starts it), else written here.
  void HandOver();
  /// Waits for the buffers written behind; their failure becomes the file's (FailedPath then
  /// names the file closed behind it was in, or this one).
  void Settle();
  /// The error kept, as the system words it, and forgotten.
  std::string TakeError();
  void WriteOut(const char* data, std::size_t size);
  /// Converts the buffer and writes it out; leaves a character cut off by its end in it,
  /// unless `final`.
  void ConvertBuffer(bool final);

  /// How CopyFrom copies: what the files of the last copy allowed, tried first next time.
  enum class Copy { FileRange, SendFile, ReadWrite };
  /// One step of a copy as `how` makes it: bytes copied, 0 at the end of `from`, -1 with
  /// errno set.
  ssize_t CopyStep(Copy how, int from, std::int64_t& offset, std::size_t size);
  /// CopyFrom by this thread alone.
  std::int64_t CopyHere(int from, std::int64_t offset, std::int64_t size);

  int m_fd = -1;
  std::string m_strPath;        ///< of the open file, as Create was given it
  std::string m_strFailedPath;  ///< see FailedPath
  Copy m_copy = Copy::FileRange;
  std::unique_ptr<HelperCopy> m_helper;  ///< made at the first long copy
  std::vector<char> m_own;               ///< the buffer until writing behind begins
  char* m_pBuffer = nullptr;             ///< the buffer being filled: m_own's or one lent
  std::size_t m_nCapacity = 0;
  /// Bytes the buffer takes before it goes out: less than it holds for a piece's first
  /// bytes written behind, so that the writing thread starts on a piece soon after it opens.
  std::size_t m_nFill = 0;
  std::size_t m_used = 0;
  std::string_view m_inPlace;             ///< see WriteInPlace
  std::size_t m_nInPlaceAt = 0;           ///< the buffer's bytes before it
  /// What cleans runs (see CleanRunsAs); before m_behind, whose thread uses it to its end.
  std::optional<RunCleaner> m_cleaner;
  /// The buffer's runs still to be cleaned, in order.
  WriteBehind::Stretch m_toClean[WriteBehind::kMostStretches];
  std::size_t m_nToClean = 0;
  std::unique_ptr<WriteBehind> m_behind;  ///< made when the first buffer fills
  bool m_bBehindTried = true;             ///< writing behind was set up, refused, or not allowed
  int m_nErrno = 0;
  bool m_bUtf16 = false;      ///< UTF-8 text written as UTF-16
  bool m_bBigEndian = false;  ///< UTF-16BE rather than LE
  std::vector<char> m_converted;
};

}  // namespace sekato::engine
