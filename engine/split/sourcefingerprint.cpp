#include "sourcefingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>
#if defined(__x86_64__)
// The library picks the widest vector unit the processor has (AVX2, AVX-512): the hash is
// the same, in a third of the time the baseline's SSE2 takes.
#include <xxh_x86dispatch.h>
#endif

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "bytesource.h"
#include "fileops.h"
#include "linestarts.h"
#include "patchedfile.h"
#include "sourcedecoder.h"

namespace sekato::engine {

namespace {

// Read, hashed and counted a piece at a time, small enough that the hash and the count find
// the bytes the read just copied still in the processor's cache: the book is looked at once
// from memory, not three times.
constexpr std::size_t kChunk = std::size_t{256} << 10;

// Code units U+000A in UTF-16 text that starts at an even offset: `low` is the byte that
// holds 0x0A (0 little-endian, 1 big-endian).
std::int64_t CountUnitFeeds(const char* data, std::size_t size, std::size_t low) {
  std::int64_t count = 0;
  for (std::size_t at = 0; at + 1 < size; at += 2) {
    count += data[at + low] == '\n' && data[at + 1 - low] == 0;
  }
  return count;
}

// What the first look at a chunk leaves for the second: see ReadAhead.
struct Mark {
  std::size_t known = 0;  // listed lines whose starts are known
  bool changes = false;   // the book's bytes would change on their way into the pieces
};

// Reads to the end with `read` (as FileOps::ReadFully), handing each chunk to `early` and
// then, with what that gave, to `late`, in order, until `late` says to stop: 0, or the errno
// of the read that failed.
template <typename Read, typename Early, typename Late>
int ReadInline(const Read& read, const Early& early, const Late& late) {
  std::vector<char> chunk(kChunk);
  int error = 0;
  while (true) {
    const std::size_t got = read(chunk.data(), chunk.size(), error);
    if (!late(chunk.data(), got, early(chunk.data(), got))) return 0;
    if (error != 0 || got < chunk.size()) return error;
  }
}

// ReadInline with the reading and `early` on a thread of its own, a few chunks ahead, and
// `late` on the caller's: copying the book out of the page cache takes about as long as
// hashing and counting it, so on two cores the check takes half the time it would. A split
// that writes its pieces as the book is checked hashes and counts early and writes late.
template <typename Read, typename Early, typename Late>
int ReadAhead(const Read& read, const Early& early, const Late& late) {
  constexpr std::size_t kSlots = 4;
  struct Slot {
    std::vector<char> data = std::vector<char>(kChunk);
    std::size_t got = 0;
    int error = 0;
    Mark mark;
  };
  std::vector<Slot> slots(kSlots);
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t filled = 0;    // chunks read
  std::size_t consumed = 0;  // chunks taken
  bool quit = false;         // `late` wants no more
  std::thread reader([&] {
    for (std::size_t i = 0;; ++i) {
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return filled - consumed < kSlots || quit; });
        if (quit) return;
      }
      Slot& slot = slots[i % kSlots];
      slot.got = read(slot.data.data(), kChunk, slot.error);
      slot.mark = early(slot.data.data(), slot.got);
      const bool end = slot.error != 0 || slot.got < kChunk;
      {
        const std::lock_guard lock(mutex);
        ++filled;
      }
      changed.notify_all();
      if (end) return;
    }
  });
  int error = 0;
  for (std::size_t i = 0;; ++i) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return filled > i; });
    }
    const Slot& slot = slots[i % kSlots];
    const bool more = late(slot.data.data(), slot.got, slot.mark);
    error = more ? slot.error : 0;
    const bool end = !more || slot.error != 0 || slot.got < kChunk;
    {
      const std::lock_guard lock(mutex);
      ++consumed;
      quit = !more;
    }
    changed.notify_all();
    if (end) break;
  }
  reader.join();
  return error;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  for (int i = 15; i >= 0; --i) {
    text[i] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  }
  text[16] = '\0';
  return text;
}

// Hashes and counts what `read` gives, `size` bytes as the file was opened.
// With `list`, the layout is noted as well.
template <typename Read>
std::optional<SourceFingerprint> Count(const Read& read, std::int64_t size, const std::string& path,
                                       Encoding encoding, bool withHash, Message& message,
                                       const ChapterList* list = nullptr,
                                       SourceFingerprint::Reading* reading = nullptr) {
  const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                       &XXH3_freeState);
  XXH3_64bits_reset(state.get());
  const bool utf16 = Encodings::IsUtf16(encoding);
  const std::size_t low = encoding == Encoding::Utf16Be ? 1 : 0;
  SourceFingerprint print;
  LineStarts starts(utf16 ? nullptr : list);
  // Only UTF-8 is read through a check on its way into the pieces.
  std::optional<SourceDecoder> check;
  if (list && encoding == Encoding::Utf8) check.emplace(encoding, encoding, 0, encoding);
  char last = '\n';
  char lastUnit[2] = {'\n', 0};
  // Each chunk is a whole number of code units: only the file's last may be cut short.
  const auto take = [&](const char* data, std::size_t got) {
    if (got == 0) return;
    if (withHash) XXH3_64bits_update(state.get(), data, got);
    if (utf16) {
      print.lines += CountUnitFeeds(data, got, low);
    } else {
      starts.Add(data, got);
    }
    if (check) check->CheckBytes(data, got);
    last = data[got - 1];
    if (got >= 2) std::memcpy(lastUnit, data + got - 2, 2);
    print.bytes += static_cast<std::int64_t>(got);
  };
  const bool ahead = size > static_cast<std::int64_t>(2 * kChunk);
  int error = 0;
  if (reading == nullptr) {
    const auto none = [](const char*, std::size_t) { return Mark{}; };
    const auto late = [&](const char* data, std::size_t got, const Mark&) {
      take(data, got);
      return true;
    };
    error = ahead ? ReadAhead(read, none, late) : ReadInline(read, none, late);
  } else {
    // The starts found go into room kept for all of them: `late` reads those known while
    // `early` adds more.
    const std::int64_t* found = starts.Starts().data();
    const auto early = [&](const char* data, std::size_t got) {
      take(data, got);
      return Mark{starts.Starts().size(),
                  starts.BareFeeds() || starts.EmptyListed() || starts.FirstLineEmpty()};
    };
    const auto late = [&](const char* data, std::size_t got, const Mark& mark) {
      return got == 0 || reading->Take({data, got, found, mark.known, mark.changes});
    };
    error = ahead ? ReadAhead(read, early, late) : ReadInline(read, early, late);
  }
  if (error != 0) {
    message = {MessageId::ReadSource, {path, std::strerror(error)}};
    return std::nullopt;
  }
  if (!utf16) print.lines = starts.Feeds();
  // A last line without a line feed is still a line.
  const bool endsInFeed = utf16 ? lastUnit[low] == '\n' && lastUnit[1 - low] == 0 : last == '\n';
  if (list && !utf16) {
    if (check) check->CheckEnd();
    print.layout = SourceFingerprint::Layout{starts.Starts(),   starts.BareFeeds(),
                                             starts.EmptyListed(), starts.FirstLineEmpty(),
                                             endsInFeed,        check && check->FirstInvalid() >= 0};
  }
  if (print.bytes > 0 && !endsInFeed) ++print.lines;
  if (withHash) print.hash = Hex(XXH3_64bits_digest(state.get()));
  return print;
}

// The same for the book read with the lines rules changed (see PatchedFile).
std::optional<SourceFingerprint> OfPatched(const std::string& path, Encoding encoding,
                                           bool withHash, Message& message) {
  ByteSource source;
  std::string reason;
  if (!source.Open(path, reason)) {
    message = {MessageId::OpenSource, {path, reason}};
    return std::nullopt;
  }
  std::int64_t at = 0;
  const auto read = [&](char* out, std::size_t size, int& error) {
    const std::size_t got = source.ReadFullyAt(out, size, at, error);
    at += static_cast<std::int64_t>(got);
    return got;
  };
  return Count(read, source.Length(), path, encoding, withHash, message);
}

}  // namespace

std::optional<SourceFingerprint> SourceFingerprint::Of(const std::string& path, Encoding encoding,
                                                       bool withHash, Message& message,
                                                       std::int64_t sizeWanted,
                                                       const ChapterList* list,
                                                       Reading* reading) {
  struct stat info {};
  std::string reason;
  // Transformed text read as the book with its changed lines is read as the split reads it.
  if (PatchedFile::Find(path)) return OfPatched(path, encoding, withHash, message);
  const int fd = FileOps::OpenSource(path, info, reason);
  if (fd < 0) {
    message = {MessageId::OpenSource, {path, reason}};
    return std::nullopt;
  }
  if (sizeWanted >= 0 && info.st_size != sizeWanted) {
    ::close(fd);
    SourceFingerprint unread;
    unread.bytes = info.st_size;
    unread.read = false;
    return unread;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  const auto read = [fd](char* out, std::size_t size, int& error) {
    return FileOps::ReadFully(fd, out, size, error);
  };
  auto print = Count(read, info.st_size, path, encoding, withHash, message, list, reading);
  ::close(fd);
  return print;
}

std::optional<Message> SourceFingerprint::Refusal(const ChapterList& list, bool force,
                                                  const std::string& path) const {
  const bool otherSize = list.sourceBytes >= 0 && list.sourceBytes != bytes;
  const bool otherHash = !list.hash.empty() && !hash.empty() && list.hash != hash;
  if (((otherSize || otherHash) && !force) || !read) {
    return Message{MessageId::TocOtherBook, {path}};
  }
  std::int64_t previous = 0;
  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    const std::int64_t line = list.entries[i].line;
    const std::string entry = std::to_string(i + 1);
    if (line < 1 || line > lines) {
      return Message{MessageId::TocLineOutOfRange,
                     {entry, std::to_string(line), std::to_string(lines)}};
    }
    if (line <= previous) {
      return Message{MessageId::TocNotAscending,
                     {entry, std::to_string(line), std::to_string(previous)}};
    }
    previous = line;
  }
  return std::nullopt;
}

}  // namespace sekato::engine
