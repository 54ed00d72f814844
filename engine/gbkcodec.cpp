#include "gbkcodec.h"

#include <cerrno>
#include <iconv.h>

namespace sekato::engine {

namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 2 + 4, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  std::size_t used = 0;
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    ok = false;  // EILSEQ or EINVAL: a character the other side cannot hold
    break;
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(used);
  return out;
}

}  // namespace

std::optional<std::string> GbkCodec::FromUtf8(std::string_view utf8) {
  return Convert("GBK", "UTF-8", utf8);
}

std::optional<std::string> GbkCodec::ToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk);
}

}  // namespace sekato::engine
