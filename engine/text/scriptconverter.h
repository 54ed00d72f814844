#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sekato/texttransform.h"

namespace sekato::engine {

/// Turns UTF-8 text from one Chinese script into another with OpenCC and the configuration
/// files it ships ("s2t.json"), phrase tables first, then single characters. One converter
/// is used by one thread at a time.
///
/// Example: S2T turns "头发" into "頭髮", not "頭發": the phrase decides the character.
class ScriptConverter final {
 public:
  /// Opens `conversion` (not None); nothing, with `error` saying why, when OpenCC cannot load
  /// its configuration or tables.
  static std::unique_ptr<ScriptConverter> Open(ScriptConversion conversion, std::string& error);
  ~ScriptConverter();
  ScriptConverter(const ScriptConverter&) = delete;
  ScriptConverter& operator=(const ScriptConverter&) = delete;

  /// Puts `text` converted into `out`. Text OpenCC cannot take (not UTF-8) goes as it is.
  void Convert(std::string_view text, std::string& out) const;

 private:
  explicit ScriptConverter(void* handle) : m_handle(handle) {}
  void* m_handle;
};

}  // namespace sekato::engine
