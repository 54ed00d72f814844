#include "fileops.h"
#include "linetransform.h"
#include "piecenamer.h"
#include "progressshare.h"
#include "runencodings.h"
#include "sekato/sourcepath.h"
#include "sekato/splitrun.h"
#include "sourcefingerprint.h"
#include "splitplan.h"
#include "transformedtext.h"

namespace sekato::engine {

SplitEnd SplitRun::ExecuteTransformed() {
  const SplitOptions& o = m_options;
  SplitPlan plan(o);
  if (auto refusal = plan.Refusal(SplitPlan::Purpose::Split)) {
    return {SplitOutcome::Refused, std::move(*refusal), {}};
  }
  Message message;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(o, message, refused);
  if (!encodings) {
    return {refused ? SplitOutcome::Refused : SplitOutcome::Failed, std::move(message), {}};
  }
  m_host.ReportEncoding(encodings->Source(), encodings->Detected());
  auto transform = LineTransform::Make(o, message);
  if (!transform) return {SplitOutcome::Failed, std::move(message), {}};
  // A list is checked against the book itself: the text it is then used on is the
  // transformed text, which has the same lines.
  if (o.mode == SplitMode::ByChapter && o.toc) {
    const auto print = SourceFingerprint::Of(o.sourcePath, encodings->Source(),
                                             !o.toc->hash.empty(), message,
                                             o.force ? -1 : o.toc->sourceBytes);
    if (!print) return {SplitOutcome::Failed, std::move(message), {}};
    if (auto refusal = print->Refusal(*o.toc, o.force, o.sourcePath)) {
      return {SplitOutcome::Refused, std::move(*refusal), {}};
    }
  }
  const std::string& directory = plan.Directory();
  if (FileOps::SameDirectory(SourcePath::Folder(o.sourcePath), directory) &&
      PieceNamer::IsPieceName(SourcePath::FileName(o.sourcePath), plan.Namer().NamePart())) {
    return {SplitOutcome::Refused, {MessageId::WouldOverwriteSource, {o.sourcePath}}, {}};
  }
  std::string reason;
  if (!FileOps::MakeDirectory(directory, reason)) {
    return {SplitOutcome::Failed, {MessageId::MakeFolder, {directory, reason}}, {}};
  }

  TransformedText text;
  ProgressShare first(m_host, 0, 2);
  TransformedText::Result written =
      text.Write(o.sourcePath, encodings->Source(), encodings->MarkBytes(), encodings->Text(),
                 encodings->Output(), *transform, directory, &first);
  switch (written.end) {
    case TransformedText::End::Done:
      break;
    case TransformedText::End::Stopped:
      return {SplitOutcome::Stopped, {MessageId::Stopped}, {}};
    case TransformedText::End::Failed:
      return {SplitOutcome::Failed, std::move(written.message), {}};
  }

  SplitOptions transformed = o;
  transformed.replaceRules.clear();
  transformed.convert = ScriptConversion::None;
  transformed.sourcePath = text.Path();
  transformed.encoding = encodings->Text();
  transformed.outEncoding = encodings->Output();
  transformed.force = o.force || o.toc.has_value();
  TransformedHost second(m_host);
  SplitRun run(std::move(transformed), second);
  run.m_nPartLimit = m_nPartLimit;
  run.m_bLineRuns = m_bLineRuns;
  run.m_nReadAheadFrom = m_nReadAheadFrom;
  run.m_nAheadChunk = m_nAheadChunk;
  run.m_nSizeLimitBytes = m_nSizeLimitBytes;
  SplitEnd end = run.Execute();
  m_nLargestBuffer = run.m_nLargestBuffer;
  text.NameSource(end.message, o.sourcePath);
  // Every line before the one that cannot be written is in the pieces: the last is cut short.
  if (written.cutShort && end.outcome == SplitOutcome::Completed) {
    Message cutShort = std::move(*written.cutShort);
    if (!end.tally.lastPiece.empty()) {
      cutShort.then.push_back({MessageId::PieceCutShort, {end.tally.lastPiece}});
    }
    return {SplitOutcome::Failed, std::move(cutShort), {}};
  }
  return end;
}

}  // namespace sekato::engine
