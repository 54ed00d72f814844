#include "heldsplitsupport.h"

#include <algorithm>
#include <filesystem>

namespace sekato::engine::test {

int UnnamedIn(const std::string& dir) {
  int count = 0;
  const std::string prefix = std::filesystem::weakly_canonical(dir).string() + "/#";
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
    count += !error && target.rfind(prefix, 0) == 0;
  }
  return count;
}

::testing::AssertionResult Same(const Files& got, const Files& want) {
  for (auto g = got.begin(), w = want.begin(); g != got.end() || w != want.end(); ++g, ++w) {
    if (g == got.end() || w == want.end() || g->first != w->first) {
      return ::testing::AssertionFailure()
             << "names differ at " << (g == got.end() ? "(none)" : g->first) << " / "
             << (w == want.end() ? "(none)" : w->first);
    }
    if (g->second != w->second) {
      const auto at =
          std::mismatch(g->second.begin(), g->second.end(), w->second.begin(), w->second.end());
      return ::testing::AssertionFailure()
             << g->first << ": " << g->second.size() << " bytes, wanted " << w->second.size()
             << ", first difference at " << (at.first - g->second.begin());
    }
  }
  return ::testing::AssertionSuccess();
}

bool WatchingHost::Progress(std::int64_t position, std::int64_t length) {
  mostUnnamed = std::max(mostUnnamed, UnnamedIn(m_dir));
  if (std::filesystem::exists(m_dir) && ListDir(m_dir) != before) namedEarly = true;
  backwards = backwards || position < last;
  last = position;
  return recorder.Progress(position, length);
}

std::string LongBook(int chapters, std::size_t chapterBytes) {
  std::string book = G("序言\r\n");
  const std::string body = "The quick brown fox jumps over the lazy dog, again and again.\r\n";
  for (int i = 1; i <= chapters; ++i) {
    book += G("第") + std::to_string(i) + G("章 标题\r\n");
    for (std::size_t n = 0; n < chapterBytes; n += body.size()) book += body;
  }
  return book;
}

ChapterList ChaptersOf(const std::string& book) {
  ChapterList list;
  std::int64_t line = 1;
  for (std::size_t at = 0; at < book.size(); ++line) {
    const std::size_t feed = book.find('\n', at);
    if (book.compare(at, 2, G("第")) == 0) {
      list.entries.push_back({line, "章" + std::to_string(list.entries.size() + 1)});
    }
    at = feed == std::string::npos ? book.size() : feed + 1;
  }
  return list;
}

}  // namespace sekato::engine::test
