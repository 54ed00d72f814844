#pragma once

#include "sekato/encoding.h"
#include "sekato/texttransform.h"

namespace sekato::engine {

/// Whether the pieces' encoding can hold what a script conversion writes, judged by the
/// encoding's repertoire before a run, so a front end can suggest another encoding first.
/// A run still stops at the first character its pieces cannot hold (UnwritableConverted):
/// this is the rule of thumb, not the proof.
///
/// Repertoires: GB18030 and the Unicode encodings hold every character. GBK holds every
/// ideograph of Unicode's first CJK block, where both the simplified forms and the
/// traditional forms OpenCC writes lie. Big5 (read as Big5-HKSCS) holds the traditional
/// forms and not the simplified ones, so 繁体→简体 with Big5 pieces does not fit.
class ConversionFit final {
 public:
  /// The script a conversion writes.
  enum class Script { Simplified, Traditional };

  /// True when `encoding` holds text in `script`; Auto (not yet known) is taken to.
  static bool Holds(Encoding encoding, Script script);

  /// True when pieces in `output` hold what `conversion` writes; no conversion always fits.
  /// Fits(T2S, Big5) is false, Fits(S2T, Big5) and Fits(T2S, Gbk) are true.
  static bool Fits(ScriptConversion conversion, Encoding output);
};

}  // namespace sekato::engine
