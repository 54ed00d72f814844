#include "sekato/sourceclassifier.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "fileops.h"
#include "sekato/encoding.h"

namespace sekato::engine {

namespace {

constexpr std::size_t kSampleBytes = std::size_t{64} << 10;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool HasBinarySignature(std::string_view prefix) {
  using namespace std::string_view_literals;
  static constexpr std::array kSignatures = {
      "\x89PNG\r\n\x1A\n"sv,  // PNG
      "\xFF\xD8\xFF"sv,       // JPEG
      "GIF87a"sv,
      "GIF89a"sv,
      "%PDF-"sv,
      "PK\x03\x04"sv,
      "PK\x05\x06"sv,  // ZIP (EPUB, DOCX …), empty ZIP
      "\x7F"
      "ELF"sv,
  };
  return std::any_of(kSignatures.begin(), kSignatures.end(),
                     [&](std::string_view signature) { return StartsWith(prefix, signature); });
}

}  // namespace

SourceClassifier::Kind SourceClassifier::Classify(std::string_view prefix) {
  if (prefix.empty()) return Kind::Empty;
  if (HasBinarySignature(prefix)) return Kind::NotText;
  for (const Encoding marked : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
    if (StartsWith(prefix, Encodings::ByteOrderMark(marked))) return Kind::Text;
  }
  const std::string_view sample = prefix.substr(0, kSampleBytes);
  // UTF-16 has NULs in plenty, but never two in one unit: that would be U+0000. A binary
  // file has runs of them.
  std::size_t nuls = 0;
  bool zeroUnit = false;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    if (sample[i] != '\0') continue;
    ++nuls;
    if (i % 2 == 0 && i + 1 < sample.size() && sample[i + 1] == '\0') zeroUnit = true;
  }
  return zeroUnit && nuls * 200 >= sample.size() ? Kind::NotText : Kind::Text;
}

SourceClassifier::Kind SourceClassifier::OfFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Kind::Text;
  std::string prefix(kSampleBytes, '\0');
  int error = 0;
  prefix.resize(FileOps::ReadFully(fd, prefix.data(), prefix.size(), error));
  ::close(fd);
  return Classify(prefix);
}

}  // namespace sekato::engine
