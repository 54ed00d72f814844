#include <sys/resource.h>

#include <algorithm>

#include "bytesource.h"
#include "fileops.h"
#include "heldsplitpass.h"
#include "patchedfile.h"
#include "rangesplitpass.h"
#include "sekato/splitrun.h"
#include "splitrunplan.h"

namespace sekato::engine {

namespace {

// Held pieces are open files: they take at most a quarter of what the process may open,
// which leaves room for runs beside this one (several books at once), and never so many
// that a long list fills the kernel's tables.
std::size_t MostHeld() {
  constexpr std::size_t kMost = 4096;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  if (limit.rlim_cur == RLIM_INFINITY) return kMost;
  const auto quarter = static_cast<std::size_t>(limit.rlim_cur / 4);
  return quarter > 32 ? std::min(quarter - 32, kMost) : 0;
}

}  // namespace

std::optional<SplitEnd> SplitRun::CheckList(Plan& plan, HeldSplitPass* held) const {
  const SplitOptions& o = m_options;
  Message message;
  // The list must be for this book and name only lines it has.
  // The same reading finds where the listed lines start, when the pieces can be copied.
  auto print = SourceFingerprint::Of(o.sourcePath, plan.encodings->Source(),
                                     !o.toc->hash.empty(), message,
                                     o.force ? -1 : o.toc->sourceBytes,
                                     RangesPossible(plan) ? &*o.toc : nullptr, held);
  if (held != nullptr && held->Stopped()) {
    return SplitEnd{SplitOutcome::Stopped, {MessageId::Stopped}, {}};
  }
  if (!print) return SplitEnd{SplitOutcome::Failed, std::move(message), {}};
  if (auto refusal = print->Refusal(*o.toc, o.force, o.sourcePath)) {
    return SplitEnd{SplitOutcome::Refused, std::move(*refusal), {}};
  }
  plan.lines = std::move(print->layout);
  plan.bookBytes = print->bytes;
  return std::nullopt;
}

bool SplitRun::CheckWhileWriting(const Plan& plan) const {
  const SplitOptions& o = m_options;
  if (!m_bHeldPieces || !RangesPossible(plan) || PatchedFile::Find(o.sourcePath)) return false;
  const auto& entries = o.toc->entries;
  if (entries.empty() || o.chaptersPerPiece < 1) return false;
  // A list that does not ascend, or made for a book of another size, is refused before
  // the book is read: that stays so.
  std::int64_t previous = 0;
  for (const ChapterEntry& entry : entries) {
    if (entry.line <= previous) return false;
    previous = entry.line;
  }
  struct stat info {};
  if (::stat(o.sourcePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return o.force || o.toc->sourceBytes < 0 || o.toc->sourceBytes == info.st_size;
}

std::optional<SplitEnd> SplitRun::CheckHeldNow(Plan& plan) const {
  if (!plan.checkHeld) return std::nullopt;
  plan.checkHeld = false;
  auto end = CheckList(plan, nullptr);
  if (end) FileOps::RemoveFolders(plan.madeFolders);
  return end;
}

std::optional<SplitEnd> SplitRun::SplitHeld(Plan& plan) {
  plan.checkHeld = false;
  const SplitOptions& o = m_options;
  ByteSource source;
  std::string reason;
  if (!source.Open(o.sourcePath, reason)) {
    // Checked first after all; the split then says why it cannot read the book.
    plan.checkHeld = true;
    return CheckHeldNow(plan);
  }
  PieceWriter writer(plan.layout, source.Device(), source.Inode());
  writer.AllowUnnamed(m_bUnnamedFiles);
  const bool titleNames = plan.split.Namer().ByTitle();
  // A held piece is named by a link of its own once the check has passed: worth it where
  // the pieces are long, while short ones cost more in links than the check they overlap,
  // and go under their names at once.
  const auto count = static_cast<std::int64_t>(o.toc->entries.size());
  const std::int64_t made = (count + o.chaptersPerPiece - 1) / o.chaptersPerPiece;
  const bool named = source.Length() / made < m_nHeldFrom;
  HeldSplitPass held(
      *o.toc, writer, plan.host,
      {o.chaptersPerPiece, titleNames, source.Length(),
       m_nMostHeld >= 0 ? static_cast<std::size_t>(m_nMostHeld) : MostHeld(), named});
  if (auto end = CheckList(plan, &held)) {
    held.Drop();
    if (end->outcome != SplitOutcome::Stopped) FileOps::RemoveFolders(plan.madeFolders);
    return end;
  }
  const auto pieces = plan.lines ? RangeSplitPass::PiecesFor(*plan.list, *plan.lines,
                                                             o.chaptersPerPiece, titleNames)
                                 : std::nullopt;
  if (!pieces || !held.Holds()) {
    held.Drop();
    // The pieces are written from the start again; the bar stays where the dropped ones
    // had brought it.
    plan.host.Raise(held.Shown());
    return std::nullopt;  // split as if checked first
  }
  const std::int64_t end = RangeSplitPass::TextEnd(plan.bookBytes, *plan.lines);
  const auto first = held.Finish(*pieces, end);
  const std::string& directory = plan.split.Directory();
  if (!first) {
    RunTally kept;
    kept.pieces = writer.Created();
    kept.directory = directory;
    return SplitEnd{SplitOutcome::Failed, writer.ErrorMessage(), std::move(kept)};
  }
  const RangeSplitPass::Settings settings{o.sourcePath, directory,
                                          static_cast<std::int64_t>(plan.list->entries.size())};
  RangeSplitPass pass(source, writer, plan.host, settings);
  return pass.Run(*pieces, end, *first);
}

}  // namespace sekato::engine
