#pragma once

#include <cstdint>

#include "encoding.h"
#include "message.h"
#include "runtally.h"

namespace sekato::engine {

/// How a run ended.
enum class SplitOutcome {
  Completed,  ///< the whole source was split
  Stopped,    ///< the host asked the run to stop
  Refused,    ///< the options cannot be used; nothing was read
  Failed,     ///< reading or writing failed; the pieces written so far are kept
};

/// What a run ends with: how, what to tell the user, and what it wrote.
struct SplitEnd {
  SplitOutcome outcome = SplitOutcome::Completed;
  Message message;
  RunTally tally;  ///< filled in when completed
};

/// What a split or a chapter list needs from whoever started it: the window, the command line
/// or a test. Every call comes from the thread that does the work; none waits for the user.
///
/// The order is: ReportEncoding once the source's encoding is known, then Progress (first
/// with position 0) and Warn as the source is read. What the run ends with is returned by it.
class SplitHost {
 public:
  virtual ~SplitHost() = default;

  /// The run has come to `position` of `length` source bytes (a split of converted text
  /// counts its bytes as written). Called before every source line, part of a long line
  /// (about 1 MiB) and run of lines taken at once (no longer than a part), so a stop takes
  /// effect within a part; hosts throttle drawing. `length` is −1 while the run measures
  /// converted text before it starts (even mode). False asks the run to stop.
  virtual bool Progress(std::int64_t position, std::int64_t length) = 0;

  /// The source's encoding, once known: `detected` when it was found by detection rather
  /// than chosen. Hosts that do not show it ignore it.
  virtual void ReportEncoding(Encoding /*encoding*/, bool /*detected*/) {}

  /// Something the user should know that does not stop the run (a byte of the source that
  /// is not valid in its encoding). Ignored unless a host shows it.
  virtual void Warn(const Message& /*message*/) {}
};

}  // namespace sekato::engine
