#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sekato/chapterlist.h"
#include "testsupport.h"

namespace sekato::engine::test {

/// What the tests of the split written while its list is checked share.
using Files = std::map<std::string, std::string>;

/// Files without a name this process holds open in `dir`: pieces written and not yet linked.
int UnnamedIn(const std::string& dir);

/// The same files with the same bytes; else where the first difference lies, told briefly:
/// the pieces are megabytes long.
::testing::AssertionResult Same(const Files& got, const Files& want);

/// Records the run as RecordingHost does, and at each look how many pieces the output folder
/// holds unnamed and named; can stop the run at a look.
class WatchingHost final : public SplitHost {
 public:
  explicit WatchingHost(std::string dir) : m_dir(std::move(dir)) {}
  bool Progress(std::int64_t position, std::int64_t length) override;
  void ReportEncoding(Encoding encoding, bool detected) override {
    recorder.ReportEncoding(encoding, detected);
  }
  void Warn(const engine::Message& message) override { recorder.Warn(message); }

  RecordingHost recorder;
  std::vector<std::string> before;  ///< what the folder held before the run
  int mostUnnamed = 0;
  bool namedEarly = false;  ///< a file came or went in the folder while the run looked
  bool backwards = false;   ///< progress went back
  std::int64_t last = 0;

 private:
  std::string m_dir;
};

/// A book read by the check in many chunks, with a chapter every `chapterBytes` or so.
std::string LongBook(int chapters, std::size_t chapterBytes);

/// The lines that open the chapters of LongBook, with their titles.
ChapterList ChaptersOf(const std::string& book);

}  // namespace sekato::engine::test
