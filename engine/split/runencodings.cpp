#include "runencodings.h"

#include "sekato/encodingdetector.h"
#include "sekato/message.h"
#include "sekato/sourceclassifier.h"
#include "textcodec.h"

namespace sekato::engine {

std::optional<RunEncodings> RunEncodings::Resolve(const SplitOptions& options, Message& message,
                                                  bool& refused) {
  refused = false;
  std::string prefix;
  bool whole = false;
  std::string reason;
  if (!EncodingDetector::ReadPrefix(options.sourcePath, prefix, whole, reason)) {
    message = Message{MessageId::OpenSource, {options.sourcePath, reason}};
    return std::nullopt;
  }
  RunEncodings run;
  if (options.encoding == Encoding::Auto) {
    // A picture or an archive is no text in any encoding; a user who names one is believed.
    if (SourceClassifier::Classify(prefix) == SourceClassifier::Kind::NotText) {
      refused = true;
      message = Message{MessageId::NotText, {options.sourcePath}};
      return std::nullopt;
    }
    const Detection found = EncodingDetector::DetectFrom(options.sourcePath, prefix, whole);
    if (found.unmarkedUtf16) {
      refused = true;
      message = Message{MessageId::UnmarkedUtf16};
      return std::nullopt;
    }
    run.m_source = found.encoding;
    run.m_nMarkBytes = found.markBytes;
    run.m_bDetected = true;
  } else {
    run.m_source = options.encoding;
    run.m_nMarkBytes = EncodingDetector::MarkBytes(prefix, options.encoding);
  }
  run.m_output = options.outEncoding == Encoding::Auto ? run.m_source : options.outEncoding;
  run.m_text = Encodings::IsUtf16(run.m_output) ? Encoding::Utf8 : run.m_output;
  return run;
}

std::string RunEncodings::Preamble() const {
  const bool marked =
      Encodings::IsUtf16(m_output) ||
      (m_output == Encoding::Utf8 && m_source == Encoding::Utf8 && m_nMarkBytes > 0);
  return marked ? std::string(Encodings::ByteOrderMark(Encoding::Utf8)) : std::string();
}

std::optional<std::string> RunEncodings::ToText(std::string_view text, Encoding from,
                                                MessageId field, Message& message) const {
  if (from == m_text) return std::string(text);
  if (auto converted = TextCodec::Convert(text, from, m_text)) return converted;
  const auto utf8 = TextCodec::Convert(text, from, Encoding::Utf8);
  const auto bad = utf8 ? TextCodec::Unwritable(*utf8, m_output) : std::nullopt;
  message = {field, {bad.value_or("?"), std::string(Encodings::DisplayName(m_output))}};
  return std::nullopt;
}

}  // namespace sekato::engine
