#pragma once

#include <QString>
#include <string>

#include "sekato/message.h"

namespace sekato::ui {

/// What the engine says, in the window's language.
///
/// The engine's catalogue gives each message id its Chinese text; the window looks each id
/// up among its translations (context "EngineMessage", the id's number as disambiguation),
/// so a translation follows the id even if the Chinese wording changes, and falls back to
/// the Chinese where there is none. Arguments (files, offsets, characters, counts) are put
/// in as they are; what follows a message is joined as the engine joins it.
class EngineMessages final {
 public:
  static QString Text(const engine::Message& message);
  /// `reason` as the system said it; the common failures (no such file, no permission,
  /// read-only, disk full, over quota, exists, not a folder) in the window's language.
  /// "Read-only file system" → "文件系统是只读的".
  static QString SystemReason(const std::string& reason);
};

}  // namespace sekato::ui
