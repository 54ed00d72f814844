#include "textconverter.h"

#include <cerrno>

#include "tabletranscoder.h"

namespace sekato::engine {

TextConverter::TextConverter(Encoding from, Encoding to)
    : m_from(from),
      m_to(to),
      m_iconv(Encodings::IconvName(to), Encodings::IconvName(from)),
      // From UTF-8 only into GB18030: iconv's GBK refuses a few codes GB18030's table holds.
      m_pTable(to == Encoding::Utf8                                 ? TableTranscoder::ToUtf8(from)
               : from == Encoding::Utf8 && to == Encoding::Gb18030 ? TableTranscoder::FromUtf8(to)
                                                                    : nullptr) {}

std::size_t TextConverter::ConvertPrefix(std::string_view text, std::string& out) {
  if (!m_iconv.Valid()) return 0;
  if (m_pTable == nullptr) return ConvertByIconv(text, out);
  // A character grows at most threefold (two bytes of GBK into three of UTF-8), and the
  // table stops short of room.
  const std::size_t start = out.size();
  out.resize(start + text.size() * 3);
  const char* in = text.data();
  std::size_t inLeft = text.size();
  char* to = out.data() + start;
  std::size_t toLeft = text.size() * 3;
  m_pTable->Convert(in, inLeft, to, toLeft);
  out.resize(out.size() - toLeft);
  const std::size_t done = text.size() - inLeft;
  return inLeft == 0 ? done : done + ConvertByIconv(text.substr(done), out);
}

std::size_t TextConverter::ConvertByIconv(std::string_view text, std::string& out) {
  m_iconv.Reset();  // nothing held from the text before
  const std::size_t start = out.size();
  out.resize(start + text.size() * 2 + 8);
  char* inPtr = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  std::size_t used = start;
  while (true) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    // Once the input is used up, the converter lets go of what it held back to see whether
    // the next character combines with it (Big5-HKSCS does).
    const bool flush = inLeft == 0;
    const std::size_t rc =
        flush ? m_iconv.Flush(outPtr, outLeft) : m_iconv.Convert(inPtr, inLeft, outPtr, outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) {
      if (flush) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    break;  // EILSEQ or EINVAL: a character that cannot be read or written
  }
  out.resize(used);
  return text.size() - inLeft;
}

}  // namespace sekato::engine
