#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sekato/chapterlist.h"
#include "sekato/chapterselection.h"
#include "sekato/encoding.h"
#include "sekato/numerals.h"
#include "sekato/texttransform.h"

namespace sekato::engine {

/// How the source is cut into pieces.
enum class SplitMode {
  ByChapter,  ///< at chapter headings, so many chapters a piece
  BySize,     ///< at a size in KB
  Evenly,     ///< into a number of nearly equal parts
};

/// Where the pieces go.
enum class FolderChoice {
  NewFolder,     ///< into SplitOptions::newFolder
  BesideSource,  ///< into a folder named after the source, beside it ("/b/novel.txt" → "/b/novel")
};

/// How the pieces are named; NNN is the piece's number, at least three digits.
enum class PieceNaming {
  SourceTitle,   ///< "novel_001.txt": the source's file name without its extension
  Custom,        ///< "name_001.txt": SplitOptions::customName
  ChapterTitle,  ///< "001_第一章 开端.txt": the title of the piece's first chapter
};

/// The options of one split.
///
/// Two kinds of text live here:
///  - book text (`keywords`, `head`, `tail`) is in `textEncoding` (GBK unless the caller
///    says otherwise) and is written into the pieces in their encoding;
///  - paths and name parts (`sourcePath`, `sourceBase`, `sourceTitle`, `newFolder`,
///    `customName`) are in the file system's own encoding (UTF-8 on Linux) and are used as
///    they are.
/// Numbers are numbers: the front ends read what the user typed (see ParseNumber, where
/// "1.5" is 1 and "abc" is 0) and the run refuses what cannot be split with, with a message.
///
/// A run takes its own copy, so the form may go on editing its fields while a split runs.
struct SplitOptions {
  std::string sourcePath;   ///< source text file
  std::string sourceBase;   ///< source path without the extension of its file name
  std::string sourceTitle;  ///< file name of the source without its extension
  FolderChoice folder = FolderChoice::BesideSource;
  std::string newFolder;  ///< output folder for FolderChoice::NewFolder
  PieceNaming naming = PieceNaming::SourceTitle;
  std::string customName;  ///< name part for PieceNaming::Custom
  SplitMode mode = SplitMode::ByChapter;
  std::string keywords = "\xB5\xDA  \xD5\xC2";         ///< GBK "第  章"
  Numerals::Series numerals = Numerals::Series::None;  ///< how "?" in keywords is written
  /// Chapter mode by a regular expression instead of the keywords: PCRE2 syntax, UTF-8
  /// whatever textEncoding says; a group named n carries the chapter number. Empty: keywords.
  std::string regex;
  /// Chapter mode finds its own rule (see HeadingSurvey): keywords and `regex` play no part.
  bool autoDetect = false;
  std::string exclude;  ///< with `regex`: lines this pattern finds are body text (UTF-8)
  /// With `regex`: volume headings ("第一卷 风起"), UTF-8. A volume heading opens the piece
  /// of the chapter after it when that chapter opens one, and chapter numbers may start
  /// again from 1 after it.
  std::string volumeRegex;
  /// Chapter mode with volumes (`volumeRegex`, or found by `autoDetect`): each volume's
  /// pieces go into a folder of its own, "01_第一卷 风起云涌/001_第一章 开端.txt", and no piece
  /// holds chapters of two volumes. Without a volume heading the pieces stay in the folder.
  bool volumeFolders = false;
  /// With `regex`: the chapter numbers its group n reads start at this one (a book that
  /// begins at chapter 95), not at 1.
  std::int64_t firstNumber = 1;
  /// Chapter mode: no line before this one (1-based, as the source lies on disk) is a
  /// heading: the contents block a book may open with is preface. 0: from the first line.
  std::int64_t headingsFrom = 0;
  std::int64_t titleMax = 20;  ///< heading size in Chinese characters
  std::int64_t chaptersPerPiece = 1;
  std::int64_t maxKb = 1000;
  bool keepLines = false;  ///< size mode: move the crossing line whole
  std::int64_t parts = 5;
  bool trimSpaces = false;
  bool noPromotion = false;  ///< leave out the promotional line at the end of every piece
  bool addHead = false;
  std::string head;
  bool addTail = false;
  std::string tail;
  Encoding encoding = Encoding::Auto;     ///< the source's encoding; Auto detects it
  Encoding outEncoding = Encoding::Auto;  ///< the pieces' encoding; Auto: the source's
  Encoding textEncoding = Encoding::Gbk;  ///< the encoding of the book text above

  /// Chapter mode: cut before these lines instead of where the keywords find headings. The
  /// list is checked against the source before anything is written (see ChapterList).
  std::optional<ChapterList> toc;
  /// Take a list made for another book, as long as every line it names is there.
  bool force = false;
  /// Chapter mode: write only these chapters, in pieces numbered as in the full split.
  ChapterSelection chapters;
  /// Chapter mode: write the chosen chapters into one file, "name_010-020.txt".
  bool join = false;

  /// Every line goes through these first, in order, then through `convert`, before clean-up,
  /// heading matching, measuring and writing: decode → rules → conversion → clean-up →
  /// headings → write. Headings are thus matched, and titles named, in the converted text.
  std::vector<ReplaceRuleText> replaceRules;
  ScriptConversion convert = ScriptConversion::None;
  /// True when lines are changed before anything else sees them.
  bool Transforms() const { return !replaceRules.empty() || convert != ScriptConversion::None; }
};

}  // namespace sekato::engine
