#include "sekato/conversionfit.h"

namespace sekato::engine {

bool ConversionFit::Holds(Encoding encoding, Script script) {
  switch (encoding) {
    case Encoding::Big5:
      return script == Script::Traditional;
    case Encoding::Auto:
    case Encoding::Gbk:
    case Encoding::Gb18030:
    case Encoding::Utf8:
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return true;
  }
  return true;
}

bool ConversionFit::Fits(ScriptConversion conversion, Encoding output) {
  if (conversion == ScriptConversion::None) return true;
  return Holds(output, ScriptConversions::ToSimplified(conversion) ? Script::Simplified
                                                                   : Script::Traditional);
}

}  // namespace sekato::engine
