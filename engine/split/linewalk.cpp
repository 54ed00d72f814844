#include "linewalk.h"

#include "linereader.h"

namespace sekato::engine {

LineWalk::End LineWalk::Run(const std::string& path, std::size_t markBytes, SourceDecoder& decoder,
                            const TextRules& rules, std::int64_t& lines, std::int64_t& sourceBytes,
                            const Take& take, const KeepGoing& keepGoing, Message& failure) {
  LineReader source;
  std::string reason;
  if (!source.Open(path, reason)) {
    failure = {MessageId::OpenSource, {path, reason}};
    return End::Failed;
  }
  sourceBytes = source.Length();
  if (decoder.Converts() || markBytes > 0) source.SetDecoder(&decoder);
  source.SetRules(rules);
  source.SetPartLimit(kPartLimit);
  char* data = nullptr;
  std::size_t size = 0;
  bool complete = true;
  bool inLine = false;
  // Offsets count the source's bytes: the text read is shorter by a byte-order mark, and
  // for a UTF-16 source it is UTF-8, whose bytes the rules count as written in UTF-16.
  auto offset = static_cast<std::int64_t>(markBytes);
  std::int64_t read = 0;  // bytes of text read
  const std::int64_t breakByte = rules.BreakBytes() / 2;
  while (source.Next(data, size, complete)) {
    const bool lineStart = !inLine;
    inLine = !complete;
    const std::int64_t lineOffset = offset;
    const std::int64_t ends = source.Position() - read - static_cast<std::int64_t>(size);
    read = source.Position();
    offset += rules.Written(std::string_view(data, size)) + ends * breakByte;
    if (lineStart) ++lines;
    if (!keepGoing(offset)) return End::Stopped;
    if (lineStart && complete) take(data, size, lineOffset);  // parts of a long line are body
  }
  if (source.Failed()) {
    failure = {MessageId::ReadSource, {path, source.Error()}};
    return End::Failed;
  }
  return End::Done;
}

}  // namespace sekato::engine
