#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sekato::engine {

/// What a completed run wrote, for the completion message and the summary line. A run that
/// stops or fails once it has begun writing tells the pieces it leaves and their folder too.
struct RunTally {
  std::int64_t pieces = 0;     ///< pieces written
  std::string directory;       ///< where they are (file-system name)
  std::int64_t headings = -1;  ///< chapter headings found; -1 when not splitting by chapter
  bool gapsOrRepeats = false;  ///< the chapter numbers of the headings miss or repeat some
  std::string lastPiece;       ///< the path of the last piece written
  /// A volume folder the pieces went into: its name within `directory` (file-system name)
  /// and the number of its first piece; it holds the pieces up to the next folder's first.
  struct Folder {
    std::string name;
    std::int64_t firstPiece = 0;
    bool operator==(const Folder&) const = default;
  };
  std::vector<Folder> folders;  ///< in order; empty when no piece went into a volume folder
};

}  // namespace sekato::engine
