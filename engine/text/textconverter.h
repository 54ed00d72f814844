#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sekato/encoding.h"
#include "iconvhandle.h"

namespace sekato::engine {

/// One converter between two encodings (iconv), opened once and used for text after text:
/// opening one costs far more than converting a line, so a run that converts many short
/// lines keeps one. Into UTF-8 from GBK or GB18030, and from UTF-8 into GB18030, the text
/// goes through the table of iconv's own answers first (TableTranscoder), and iconv takes
/// only what it leaves.
class TextConverter final {
 public:
  TextConverter(Encoding from, Encoding to);

  Encoding From() const { return m_from; }
  Encoding To() const { return m_to; }

  /// Converts as much of `text` as it can, each text on its own (nothing carries over from
  /// the one before): how many bytes of `text` were converted into `out` (appended) before
  /// the first character that could not be read or written. 0 when the converter could not
  /// be opened.
  std::size_t ConvertPrefix(std::string_view text, std::string& out);

 private:
  /// ConvertPrefix by iconv alone.
  std::size_t ConvertByIconv(std::string_view text, std::string& out);

  Encoding m_from;
  Encoding m_to;
  IconvHandle m_iconv;
  const class TableTranscoder* m_pTable = nullptr;
};

}  // namespace sekato::engine
