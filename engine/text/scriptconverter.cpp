#include "scriptconverter.h"

#include <opencc/opencc.h>

namespace sekato::engine {

std::unique_ptr<ScriptConverter> ScriptConverter::Open(ScriptConversion conversion,
                                                       std::string& error) {
  // OpenCC looks for a bare configuration name among its own data files.
  const std::string config = std::string(ScriptConversions::Name(conversion)) + ".json";
  opencc_t handle = opencc_open(config.c_str());
  if (handle == reinterpret_cast<opencc_t>(-1)) {
    const char* reason = opencc_error();
    error = config + ": " + (reason != nullptr ? reason : "OpenCC could not open it");
    return nullptr;
  }
  return std::unique_ptr<ScriptConverter>(new ScriptConverter(handle));
}

ScriptConverter::~ScriptConverter() { opencc_close(static_cast<opencc_t>(m_handle)); }

void ScriptConverter::Convert(std::string_view text, std::string& out) const {
  out.clear();
  if (text.empty()) return;
  char* converted = opencc_convert_utf8(static_cast<opencc_t>(m_handle), text.data(), text.size());
  if (converted == nullptr) {
    out.assign(text);
    return;
  }
  out.assign(converted);
  opencc_convert_utf8_free(converted);
}

}  // namespace sekato::engine
