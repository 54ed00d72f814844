#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "message.h"

namespace sekato::engine {

/// The Chinese text of every message (UTF-8); "%1", "%2"… stand for its arguments.
class MessageCatalogue final {
 public:
  static std::string_view Chinese(MessageId id);

  /// `text` with "%N" replaced by `args[N-1]` (nothing when there is no such argument).
  static std::string Format(std::string_view text, const std::vector<std::string>& args);

  /// The promotional line at the end of every piece (converted to the pieces' text when
  /// written). Book text, not a message: the window does not translate it.
  static constexpr std::string_view kPromotion = "本文件由 sekato 文本分割器分割";
};

}  // namespace sekato::engine
