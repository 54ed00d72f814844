#include "sekato/encoding.h"

#include <cctype>

namespace sekato::engine {

std::string_view Encodings::Name(Encoding encoding) {
  switch (encoding) {
    case Encoding::Auto:
      return "auto";
    case Encoding::Gbk:
      return "gbk";
    case Encoding::Gb18030:
      return "gb18030";
    case Encoding::Big5:
      return "big5";
    case Encoding::Utf8:
      return "utf-8";
    case Encoding::Utf16Le:
      return "utf-16le";
    case Encoding::Utf16Be:
      return "utf-16be";
  }
  return "auto";
}

std::optional<Encoding> Encodings::Parse(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "utf8") return Encoding::Utf8;
  if (lower == "utf16le") return Encoding::Utf16Le;
  if (lower == "utf16be") return Encoding::Utf16Be;
  for (const Encoding encoding : kAll) {
    if (Name(encoding) == lower) return encoding;
  }
  return std::nullopt;
}

std::string_view Encodings::DisplayName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Auto:
      return "auto";
    case Encoding::Gbk:
      return "GBK";
    case Encoding::Gb18030:
      return "GB18030";
    case Encoding::Big5:
      return "Big5";
    case Encoding::Utf8:
      return "UTF-8";
    case Encoding::Utf16Le:
      return "UTF-16LE";
    case Encoding::Utf16Be:
      return "UTF-16BE";
  }
  return "auto";
}

const char* Encodings::IconvName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Auto:
    case Encoding::Gbk:
      return "GBK";
    case Encoding::Gb18030:
      return "GB18030";
    case Encoding::Big5:
      return "BIG5-HKSCS";
    case Encoding::Utf8:
      return "UTF-8";
    case Encoding::Utf16Le:
      return "UTF-16LE";
    case Encoding::Utf16Be:
      return "UTF-16BE";
  }
  return "GBK";
}

std::string_view Encodings::ByteOrderMark(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8:
      return "\xEF\xBB\xBF";
    case Encoding::Utf16Le:
      return "\xFF\xFE";
    case Encoding::Utf16Be:
      return "\xFE\xFF";
    default:
      return {};
  }
}

}  // namespace sekato::engine
