#include "blockreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "bytesource.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using namespace test;

// A stream over `text` that hands out a few bytes a call (1 to 37, varying), as a decoder
// does at the ends of its chunks, and fails with EIO once `failAt` bytes are out.
struct Trickle {
  std::string text;
  std::size_t failAt = std::string::npos;
  std::size_t at = 0;
  unsigned call = 0;
  ssize_t Read(char* out, std::size_t capacity) {
    if (at >= failAt) {
      errno = EIO;
      return -1;
    }
    const std::size_t step = 1 + (call++ * 7) % 37;
    const std::size_t take = std::min({step, capacity, text.size() - at, failAt - at});
    std::memcpy(out, text.data() + at, take);
    at += take;
    return static_cast<ssize_t>(take);
  }
};

struct StreamCase {
  std::size_t length;
  std::size_t blockBytes;
  unsigned readers;
  std::size_t failAt;  // npos: reads to the end
};

class BlockStream : public testing::TestWithParam<StreamCase> {};

// Blocks joined are the stream's bytes up to its end or failure; the last block says so and
// carries the failure; each block's note is what the stream had given when it was read; the
// room before a block can be written.
TEST_P(BlockStream, HandsOutTheStreamInOrderUpToItsEndOrFailure) {
  const StreamCase c = GetParam();
  Trickle trickle;
  for (std::size_t i = 0; i < c.length; ++i) trickle.text += static_cast<char>('a' + i % 23);
  trickle.failAt = c.failAt;
  constexpr std::size_t kRoom = 8;
  BlockReader blocks(BlockReader::Stream{[&](char* out, std::size_t capacity) {
                                           return trickle.Read(out, capacity);
                                         },
                                         [&] { return static_cast<std::int64_t>(trickle.at); }},
                     c.blockBytes, kRoom, c.readers);
  std::string joined;
  int error = 0;
  for (int held = 0;; ++held) {
    BlockReader::Block block;
    const bool read = blocks.Next(block, error);
    ASSERT_LE(block.size, c.blockBytes);
    std::memset(block.buffer, 'r', kRoom);
    joined.append(block.buffer + kRoom, block.size);
    EXPECT_EQ(block.note, static_cast<std::int64_t>(joined.size()));
    if (held > 0) blocks.Release();
    EXPECT_EQ(read, error == 0);
    if (block.last) break;
    ASSERT_TRUE(read);
  }
  const std::size_t expected = std::min(c.length, c.failAt);
  EXPECT_EQ(joined, trickle.text.substr(0, expected));
  EXPECT_EQ(error, c.failAt < c.length ? EIO : 0);
}

INSTANTIATE_TEST_SUITE_P(Sweep, BlockStream,
                         testing::Values(StreamCase{0, 64, 1, std::string::npos},
                                         StreamCase{1000, 16, 1, std::string::npos},
                                         StreamCase{1000, 17, 0, std::string::npos},
                                         StreamCase{4096, 64, 1, std::string::npos},
                                         StreamCase{4096, 1024, 0, std::string::npos},
                                         StreamCase{5000, 64, 1, 3000}, StreamCase{5000, 64, 0, 0},
                                         StreamCase{5000, 1000, 1, 4999}));

TEST(ByteSource, ReadsFrontToBackAndAtAnOffsetWithoutMovingOn) {
  TempDir dir;
  WriteFile(dir / "ten", "0123456789");
  ByteSource source;
  std::string reason;
  ASSERT_TRUE(source.Open(dir / "ten", reason)) << reason;
  EXPECT_EQ(source.Length(), 10);
  char out[16] = {};
  ASSERT_EQ(source.Read(out, 4), 4);
  EXPECT_EQ(std::string(out, 4), "0123");
  ASSERT_EQ(source.ReadAt(out, 4, 8), 2);
  EXPECT_EQ(std::string(out, 2), "89");
  int error = -1;
  ASSERT_EQ(source.ReadFullyAt(out, 16, 3, error), 7u);
  EXPECT_EQ(error, 0);
  ASSERT_EQ(source.Read(out, 16), 6);
  EXPECT_EQ(std::string(out, 6), "456789");
  EXPECT_EQ(source.Read(out, 16), 0);
}

TEST(ByteSource, RefusesWhatIsNotARegularFile) {
  TempDir dir;
  for (const std::string& path : {dir.Path().string(), dir / "missing"}) {
    ByteSource source;
    std::string reason;
    EXPECT_FALSE(source.Open(path, reason)) << path;
    EXPECT_FALSE(reason.empty()) << path;
    EXPECT_FALSE(source.IsOpen());
  }
}

}  // namespace
}  // namespace sekato::engine
