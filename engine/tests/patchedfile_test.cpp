#include "patchedfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bytesource.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::TempDir;

struct PatchCase {
  const char* what;
  std::string base;
  std::int64_t baseEnd;
  std::vector<PatchedFile::Edit> edits;
  std::string expected;
};

class PatchedFileTest : public testing::TestWithParam<PatchCase> {};

// Every offset and every read size give the bytes of the text as the edits make it, and a
// ByteSource opened on the published path reads the same front to back.
TEST_P(PatchedFileTest, ReadsAsTheEditedText) {
  const PatchCase& c = GetParam();
  TempDir dir;
  test::WriteFile(dir / "base.txt", c.base);
  const PatchedFile file(dir / "base.txt", c.baseEnd, c.edits);
  ASSERT_EQ(file.Length(), static_cast<std::int64_t>(c.expected.size())) << c.what;
  const int fd = ::open((dir / "base.txt").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  for (std::size_t offset = 0; offset <= c.expected.size(); ++offset) {
    for (std::size_t capacity = 1; capacity <= c.expected.size() + 1; ++capacity) {
      std::string out(capacity, '\0');
      const ssize_t got = file.ReadAt(fd, out.data(), capacity, static_cast<std::int64_t>(offset));
      ASSERT_GE(got, 0);
      out.resize(static_cast<std::size_t>(got));
      EXPECT_EQ(out, c.expected.substr(offset, capacity)) << c.what << " at " << offset;
    }
  }
  ::close(fd);

  test::WriteFile(dir / "text.tmp", "");
  PatchedFile::Publish(dir / "text.tmp", std::make_shared<const PatchedFile>(file));
  ByteSource source;
  std::string error;
  ASSERT_TRUE(source.Open(dir / "text.tmp", error)) << error;
  EXPECT_EQ(source.Length(), file.Length());
  std::string whole;
  char chunk[3];
  for (ssize_t got; (got = source.Read(chunk, sizeof chunk)) > 0;) {
    whole.append(chunk, static_cast<std::size_t>(got));
  }
  EXPECT_EQ(whole, c.expected) << c.what;
  PatchedFile::Withdraw(dir / "text.tmp");
  ByteSource plain;
  ASSERT_TRUE(plain.Open(dir / "text.tmp", error)) << error;
  EXPECT_EQ(plain.Length(), 0) << "withdrawn, the placeholder reads as itself";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PatchedFileTest,
    testing::Values(
        PatchCase{"none", "ab\ncd\n", 6, {}, "ab\ncd\n"},
        PatchCase{"shorter", "ab\ncd\nef\n", 9, {{3, 3, "X\n"}}, "ab\nX\nef\n"},
        PatchCase{"first and last", "ab\ncd\nef", 8, {{0, 3, "\n"}, {6, 2, "EFGH"}}, "\ncd\nEFGH"},
        PatchCase{
            "side by side", "ab\ncd\nef\n", 9, {{0, 3, "1\n"}, {3, 3, "22\n"}}, "1\n22\nef\n"},
        PatchCase{"emptied, without break", "ab\ncd", 5, {{3, 2, ""}}, "ab\n"},
        PatchCase{"ends before the base", "ab\ncd\nef\n", 6, {{3, 3, "xyz\n"}}, "ab\nxyz\n"}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) c = c == ' ' || c == ',' ? '_' : c;
      return name;
    });

}  // namespace
}  // namespace sekato::engine
