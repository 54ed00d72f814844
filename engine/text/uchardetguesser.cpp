#include "uchardetguesser.h"

#include <uchardet/uchardet.h>

#include <cctype>

namespace sekato::engine {

std::string UchardetGuesser::Guess(std::string_view sample) {
  uchardet_t detector = uchardet_new();
  if (detector == nullptr) return {};
  std::string name;
  if (uchardet_handle_data(detector, sample.data(), sample.size()) == 0) {
    uchardet_data_end(detector);
    if (const char* charset = uchardet_get_charset(detector)) name = charset;
  }
  uchardet_delete(detector);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::unique_ptr<CharsetGuesser> CharsetGuesser::Make() {
  return std::make_unique<UchardetGuesser>();
}

}  // namespace sekato::engine
