#pragma once

#include <cstdint>
#include <string>

namespace sekato::engine {

/// What a completed run wrote, for the completion message and the summary line. A run that
/// stops or fails once it has begun writing tells the pieces it leaves and their folder too.
struct RunTally {
  std::int64_t pieces = 0;     ///< pieces written
  std::string directory;       ///< where they are (file-system name)
  std::int64_t headings = -1;  ///< chapter headings found; -1 when not splitting by chapter
  bool gapsOrRepeats = false;  ///< the chapter numbers of the headings miss or repeat some
  std::string lastPiece;       ///< the path of the last piece written
};

}  // namespace sekato::engine
