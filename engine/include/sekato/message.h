#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sekato::engine {

/// What the engine has to say, by name. Each names one text of the catalogue (see
/// MessageCatalogue); the comment lists the arguments that fill it, in order.
enum class MessageId {
  Completed,             ///< the split is done
  Stopped,               ///< the user stopped the split
  EmptyKeywords,         ///< chapter mode without keywords
  BadParts,              ///< even mode: parts ≤ 0
  BadChaptersPerPiece,   ///< chapters a piece ≤ 0
  TooManyKeywords,       ///< more keywords than a heading can hold
  NoNumeralSeries,       ///< "?" in the keywords and no numeral series
  BadSize,               ///< size mode: KB ≤ 0 (an empty or unreadable field reads as 0)
  NegativeTitle,         ///< title limit < 0
  NoNewFolder,           ///< no folder given for the pieces
  NoExtension,           ///< file: no folder named after it can stand beside it
  WouldOverwriteSource,  ///< file: a piece would be the source itself
  OpenSource,            ///< file, system's reason
  ReadSource,            ///< file, system's reason
  MakeFolder,            ///< folder, system's reason
  CreatePiece,           ///< file, system's reason
  WritePiece,            ///< file, system's reason
  BadNamePart,           ///< name part that would lead out of the folder
  NotRegularSource,      ///< file: a pipe, device or folder
  NotRegularPiece,       ///< file: a link or special file where a piece goes
  WouldOverwritePiece,   ///< file: a piece this run wrote already
  FolderBusy,            ///< folder another split is writing into
  SharedFolder,          ///< first source, second source, their one folder
  SourceEncoding,        ///< the encoding's name
  UnmarkedUtf16,         ///< NUL bytes and no byte-order mark
  InvalidInSource,       ///< offset, encoding: a byte not valid there, kept
  ReplacedInSource,      ///< offset, encoding, what was written in its place
  UnwritableKeywords,    ///< character, encoding of the pieces
  UnwritableNumerals,    ///< character, encoding of the pieces
  UnwritableHead,        ///< character, encoding of the pieces
  UnwritableTail,        ///< character, encoding of the pieces
  UnwritableInSource,    ///< file, offset, character, encoding of the pieces
  PieceCutShort,         ///< file: the piece a failure left unfinished
  SourceShrank,          ///< file, its length at the start, bytes read
  BadPattern,            ///< pattern, characters before the fault, PCRE2's text
  BadExcludePattern,     ///< pattern, characters before the fault, PCRE2's text
  PatternMatchesEmpty,   ///< pattern
  CostlyPattern,         ///< the start of the first line the pattern gave up on
  NothingDetected,       ///< automatic detection found no chain of numbered headings
  TocOtherBook,          ///< file: the chapter list was made for another book
  TocLineOutOfRange,     ///< entry number, its line, lines in the source
  TocNotAscending,       ///< entry number, its line, the line of the entry before
  NoChosenChapters,      ///< the selection, chapters in the list
  TooManyChapters,       ///< chapters found, most a selection can be made from
  NotText,               ///< file: a binary file (NUL bytes everywhere, or a known signature)
  EmptySource,           ///< file: holds no byte at all
  OlderPiecesLeft,       ///< count, folder: pieces of an earlier split this one did not replace
};

/// One thing the engine says: an id and its arguments (UTF-8: file names, offsets, characters,
/// counts, the system's reason), and what follows it. The command line prints its Chinese
/// text; the window may put the id into its own language.
///
/// Example: {ReadSource, {"/b/novel.txt", "Input/output error"}, then {PieceCutShort,
/// {"/b/novel/novel_004.txt"}}} reads "读取源文件“/b/novel.txt”时出错：Input/output error。
/// 文件“/b/novel/novel_004.txt”在出错处中断，没有写完。"
struct Message {
  Message() = default;
  /// Not explicit: a message is written as its id and arguments, `{MessageId::Stopped}`.
  Message(MessageId messageId, std::vector<std::string> arguments = {})  // NOLINT
      : id(messageId), args(std::move(arguments)) {}

  MessageId id = MessageId::Completed;
  std::vector<std::string> args;
  std::vector<Message> then;  ///< said after it, in order

  /// The Chinese text, with what follows it.
  std::string Text() const;

  bool operator==(const Message&) const = default;
};

}  // namespace sekato::engine
