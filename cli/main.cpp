#include <cstdio>
#include <exception>
#include <new>

#include "cliapp.h"

int main(int argc, char** argv) {
  // Whatever goes wrong (memory, a thread, the library) ends in a message and status 2,
  // never in an abort: the pieces written so far are closed on the way out.
  try {
    return sekato::cli::CliApp().Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "sekato-cli: 内存不足，分割没有完成。\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sekato-cli: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "sekato-cli: unexpected failure\n");
  }
  return sekato::cli::CliApp::kExitFailed;
}
