#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sekato/encoding.h"

namespace sekato::engine {

/// The file names of one run's pieces: what the split writes and renames, and what the chapter
/// list says the split will write, from one set of rules.
///
/// Every piece is first written under its sequence name, "namePart_NNN.txt". When chapter
/// titles name the pieces, a closed piece is then renamed to its title name,
/// "NNN_title.txt", if the title can name a file (see TitleFileName) and the name is not one
/// of the run's own sequence names. Example, name part "novel", piece 3 opened by
/// "第三章 夜:雨": the title holds ':', so the piece keeps "novel_003.txt"; opened by
/// "第三章 夜雨" it becomes "003_第三章 夜雨.txt".
class PieceNamer final {
 public:
  /// `namePart` is a file-system name (UTF-8); `byTitle`: chapter titles name the pieces.
  explicit PieceNamer(std::string namePart = {}, bool byTitle = false)
      : m_namePart(std::move(namePart)), m_byTitle(byTitle) {}

  const std::string& NamePart() const { return m_namePart; }
  bool ByTitle() const { return m_byTitle; }

  /// "namePart_NNN.txt".
  std::string SequenceName(std::int64_t number) const;
  /// "NNN_title.txt" for piece `number` opened by a heading titled `title` (text in
  /// `encoding`), or nothing when titles do not name pieces or this one cannot.
  std::optional<std::string> TitleName(std::int64_t number, std::string_view title,
                                       Encoding encoding) const;
  /// The name the piece ends up with when nothing in the folder is in its way.
  std::string FinalName(std::int64_t number, std::string_view title, Encoding encoding) const;

  /// The folder the pieces of volume `volume` (from 1) go into, headed by a line titled
  /// `title` (text in `encoding`): "01_第一卷 风起云涌"; "01" alone when the title cannot name
  /// a file (see TitleFileName). Two digits at least: 7 → "07", 120 → "120".
  static std::string FolderName(std::int64_t volume, std::string_view title, Encoding encoding);

  /// "%.3d": 1 → "001", 42 → "042", 1000 → "1000".
  static std::string SequenceText(std::int64_t number);

  /// True when `fileName` is "namePart_NNN.txt" for some sequence number, as SequenceName
  /// writes it, comparing ASCII letters without case (as a FAT or SMB folder does):
  /// ("Novel_012.TXT", "novel") is one, ("novel_12.txt", "novel") is not.
  static bool IsPieceName(std::string_view fileName, std::string_view namePart);
  /// True when `fileName` ends as every sequence name does: "_NNN.txt", three digits or more.
  static bool EndsLikeASequenceName(std::string_view fileName);

  /// The UTF-8 file name a chapter title gives, or nothing when the title cannot name a file
  /// on every device: a character Windows forbids in names (\ / : * ? " < > |), a control
  /// character, or bytes that are not GBK. Only single-byte characters are tested, so a
  /// GBK trail byte 0x5C or 0x7C is part of its Chinese character, not a forbidden "\" or "|".
  static bool TitleFileName(std::string_view gbkTitle, std::string& utf8Title);
  /// The same for a title in `encoding`, decoded to UTF-8 first.
  static bool TitleFileName(std::string_view title, Encoding encoding, std::string& utf8Title);

 private:
  std::string m_namePart;
  bool m_byTitle = false;
};

}  // namespace sekato::engine
