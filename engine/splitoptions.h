#pragma once

#include <string>

#include "encoding.h"

namespace sekato::engine {

/// The options of one split, as the form holds them.
///
/// Two kinds of text live here:
///  - book text (`m_strKeywords`, `m_strHead`, `m_strTail`) is in `m_textEncoding` (GBK
///    unless the caller says otherwise) and is written into the pieces in their encoding;
///  - paths and name parts (`m_strSrcPath`, `m_strSrcBase`, `m_strSrcTitle`, `m_strNewDir`,
///    `m_strCustomName`) are in the file system's own encoding (UTF-8 on Linux) and are used
///    as they are.
/// Numbers are kept as the text typed and read with `ParseNumber` (atoi rules), so that a
/// field holding "1.5" or "abc" behaves as the form always did.
///
/// A run takes its own copy, so the form may go on editing its fields while a split runs.
/// How the source is cut into pieces.
enum class SplitMode {
  ByChapter = 0,  ///< at chapter headings, so many chapters a piece
  BySize = 1,     ///< at a size in KB
  Evenly = 2,     ///< into a number of nearly equal parts
};

struct SplitOptions {
  std::string m_strSrcPath;     ///< source text file
  std::string m_strSrcBase;     ///< source path without the extension of its file name
  std::string m_strSrcTitle;    ///< file name of the source without its extension
  int m_nDirMode = 1;           ///< 0: into m_strNewDir; 1: into m_strSrcBase
  std::string m_strNewDir;      ///< output directory in directory mode 0
  int m_nNameMode = 0;          ///< 0: title_NNN; 1: custom_NNN; 2: NNN_chapter title
  std::string m_strCustomName;  ///< name part in name mode 1
  SplitMode m_nSplitMode = SplitMode::ByChapter;
  std::string m_strKeywords = "\xB5\xDA  \xD5\xC2";  ///< GBK "第  章"
  std::string m_strTitleMax = "20";                  ///< heading size in Chinese characters
  std::string m_strChaptersPerFile = "1";
  std::string m_strMaxKB = "1000";
  bool m_bKeepLines = false;  ///< size mode: move the crossing line whole
  std::string m_strParts = "5";
  bool m_bTrimSpaces = false;
  bool m_bNoAd = false;
  bool m_bAddHead = false;
  std::string m_strHead;
  bool m_bAddTail = false;
  std::string m_strTail;
  Encoding m_encoding = Encoding::Auto;     ///< the source's encoding; Auto detects it
  Encoding m_outEncoding = Encoding::Auto;  ///< the pieces' encoding; Auto: the source's
  Encoding m_textEncoding = Encoding::Gbk;  ///< the encoding of the book text above
};

}  // namespace sekato::engine
