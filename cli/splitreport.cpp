#include "splitreport.h"

#include <sys/stat.h>

#include <cstdio>

#include "sekato/chapterscan.h"
#include "sekato/message.h"
#include "sekato/olderpieces.h"
#include "sekato/outputfolders.h"
#include "sekato/scanreport.h"

namespace sekato::cli {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

}  // namespace

bool SplitReport::RemoveOlderPieces(const engine::SplitOptions& options,
                                    const std::string& prefix) {
  // Every piece-like name goes: what the split would not overwrite, and what it would anyway.
  const auto older = engine::OlderPieces::Find(options, 0);
  std::string reason;
  if (engine::OlderPieces::Remove(engine::OutputFolders::Of(options), older, reason)) return true;
  std::fprintf(stderr, "sekato-cli: %s无法删除旧文件 %s\n", prefix.c_str(), reason.c_str());
  return false;
}

void SplitReport::WarnOfOlderPieces(const engine::SplitOptions& options,
                                    const std::vector<std::string>& older,
                                    const std::string& prefix) {
  if (older.empty()) return;
  const std::string text =
      engine::Message(engine::MessageId::OlderPiecesLeft,
                      {std::to_string(older.size()), engine::OutputFolders::Of(options)})
          .Text();
  std::fprintf(stderr, "sekato-cli: %s%s（--clean 在分割前删除它们）\n", prefix.c_str(),
               text.c_str());
}

void SplitReport::PrintSummary(const std::string& source, const engine::SplitOptions& options,
                               const engine::RunTally& tally, const std::string& prefix,
                               double seconds) {
  std::string summary =
      prefix + "写出 " + std::to_string(tally.pieces) + " 个文件到 " + tally.directory;
  if (tally.headings >= 0) summary += "，找到 " + std::to_string(tally.headings) + " 个章节标题";
  summary += "，用时 " + Seconds(seconds) + " 秒";
  // When the chapters look wrong, the report says what was found and what would find more.
  // It reads the source again, so only a plain file and only then.
  std::vector<std::string> notes;
  if (tally.headings == 0 || tally.gapsOrRepeats) {
    if (tally.headings == 0) summary += "；没有找到章节标题";
    if (IsRegularFile(source)) {
      const auto report = engine::ChapterScan::Run(options);
      if (report.status == engine::ScanResult::Status::Done) {
        for (const auto& issue : report.numbering) {
          notes.push_back(engine::ScanReport::Issue(issue));
        }
        for (const auto& hint : engine::ScanReport::Hints(report)) {
          notes.push_back(hint.text);
        }
      }
    } else if (tally.gapsOrRepeats) {
      summary += "；章节编号有缺漏或重复";
    }
  }
  std::string text = summary + "\n";
  for (const auto& note : notes) text.append(prefix).append("  ").append(note).append("\n");
  std::fputs(text.c_str(), stderr);
}

}  // namespace sekato::cli
