#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "splitoptions.h"

namespace sekato::engine {

/// Where the pieces of a run go, and the rule that keeps the books of one batch apart.
///
/// A batch is several sources split with the same options, one run each, in any order and
/// several at once. Two runs writing into one folder would overwrite each other's pieces and
/// leave a folder holding parts of two books, so a batch is checked as a whole before any
/// run starts: when two of its runs would share a folder, none of them may start.
class OutputFolders final {
 public:
  /// The folder a run writes into: `newFolder` for FolderChoice::NewFolder, else the source's
  /// path without its extension ("/books/novel.txt" → "/books/novel"). Empty when there is
  /// none (the run refuses such options).
  static std::string Of(const SplitOptions& o);

  /// The folder of one book of a batch whose pieces all go under one chosen folder: a folder
  /// of its own there, named after the book.
  /// "out", "/books/novel.txt" → "out/novel"; "out/", "a.b.txt" → "out/a.b".
  static std::string InChosen(const std::string& chosen, const std::string& sourcePath);

  /// Two runs of a batch that would write into one folder, by their positions in the batch
  /// (`first` < `second`).
  struct Clash {
    std::size_t first = 0;
    std::size_t second = 0;
  };

  /// The first clash of the batch `runs` (by `second`, then `first`), or nothing when every
  /// run has a folder of its own. Folders are compared as the file system tells them apart,
  /// not as they are spelled: "out/book", "./out/book/" and "out/link/../book" are one folder,
  /// a folder reached through a symbolic link is the folder it leads to, and the last level
  /// (and every level that does not exist yet) is compared without regard to ASCII case, so
  /// "x.txt" and "x.TXT", or "Book.txt" and "book.txt", beside each other clash too: on a
  /// file system that ignores case they are one folder. A run without a folder is left out.
  static std::optional<Clash> FindClash(const std::vector<SplitOptions>& runs);

  /// What tells a folder apart on the file system; see FindClash. Equal identities are one
  /// folder.
  struct Identity {
    dev_t parentDevice = 0;  ///< the deepest existing folder above it
    ino_t parentInode = 0;
    std::string below;    ///< the levels under that folder, lower-cased ASCII, '/' between
    bool exists = false;  ///< the folder itself exists (then `device` and `inode` are its own)
    dev_t device = 0;
    ino_t inode = 0;
  };
  static Identity Identify(const std::string& folder);
  /// True when both name one folder: the same existing folder and the same levels under it,
  /// or, when both exist, the same device and inode.
  static bool Same(const Identity& a, const Identity& b);
};

}  // namespace sekato::engine
