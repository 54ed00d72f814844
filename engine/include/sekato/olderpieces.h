#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sekato/runtally.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

/// Pieces of an earlier split that a new split into the same folder would leave standing.
///
/// A split overwrites the pieces its own numbers name and nothing else, so after a split into
/// 41 pieces over an older one of 121, pieces 042–121 of the older split stay and read as if
/// they belonged to the new one. The front ends look for such files, ask (or warn) and may
/// remove them. How many pieces a size or even split writes is only known once it has run (a
/// cut line's rest goes whole into the next piece): before it, every piece-like name counts,
/// and removing one the split would overwrite anyway loses nothing. Only names this split's naming
/// could have produced count:
///  - "NAME_NNN.txt" (NAME the run's name part, ASCII case ignored) numbered above the
///    pieces the split writes;
///  - under chapter-title names, every "NNN_<title>.txt" too: a title name that is taken
///    already is never replaced (the new piece keeps its sequence name instead).
/// Example: NAME "novel", a split of 3 pieces, a folder of "novel_001.txt" … "novel_005.txt",
/// "notes.txt": the older pieces are "novel_004.txt" and "novel_005.txt".
///
/// With volume folders the pieces of the folders a split makes count too, named with their
/// folder, "01_第一卷/novel_004.txt": a folder named as PieceNamer::FolderName names one
/// ("01", "12_…"). After such a split, a piece is replaced only where that split put its
/// number (see RunTally::folders): every piece still standing straight in the folder, or in a
/// folder of another volume, is older.
class OlderPieces final {
 public:
  /// The older pieces (file names, sorted) in the folder of `options` (see OutputFolders::Of)
  /// that a split writing `pieces` pieces would leave; 0 takes every piece-like name. Empty
  /// when the folder does not exist or cannot be read.
  /// After a split, its own title-named pieces look like older ones: look before it (with 0)
  /// and keep what Kept says.
  static std::vector<std::string> Find(const SplitOptions& options, std::int64_t pieces);

  /// Of `before` (Find with 0, before the split), those a split that wrote `pieces` pieces
  /// left standing: sequence names numbered above `pieces`, and every title name.
  static std::vector<std::string> Kept(const std::vector<std::string>& before,
                                       const SplitOptions& options, std::int64_t pieces);
  /// The same, after a split that wrote `tally`: into its volume folders, when it made some.
  static std::vector<std::string> Kept(const std::vector<std::string>& before,
                                       const SplitOptions& options, const RunTally& tally);

  /// Removes `names` from `folder` (a volume folder left empty goes too); false with the file and
  /// the system's reason in `error` at the first that cannot be removed (one that is gone already
  /// is no failure).
  static bool Remove(const std::string& folder, const std::vector<std::string>& names,
                     std::string& error);

  /// True when `fileName` is a chapter-title piece name, "NNN_<title>.txt".
  static bool IsTitlePieceName(const std::string& fileName);
  /// True when `name` is one a volume folder is given: two digits or more, alone or
  /// followed by "_" and a title ("01", "03_第三卷 风起").
  static bool IsVolumeFolderName(const std::string& name);

 private:
  /// True when `name` is a piece-like name a split of `pieces` pieces leaves standing.
  static bool Older(const std::string& name, const SplitOptions& options, std::int64_t pieces);
  /// The older pieces among the files of `folder` ("sub/" in front of their names when given).
  static void FindIn(const std::string& folder, const std::string& sub, const SplitOptions& options,
                     std::int64_t pieces, std::vector<std::string>& found);
};

}  // namespace sekato::engine
