#include <malloc.h>

#include <cstdio>
#include <exception>
#include <new>

#include "cliapp.h"

int main(int argc, char** argv) {
  // A run's buffers (the book's first megabyte read to tell its encoding, then the read-ahead
  // and write-behind rings) come from the heap and go back to it, so each one reuses the
  // memory of the one before instead of a fresh mapping: every page first touched costs a
  // fault, and on a virtual machine a fault costs microseconds.
  // Anything larger is still mapped on its own and given back when freed, and so is free
  // memory above this at the heap's top, so the peak stays what the run holds at once.
  mallopt(M_MMAP_THRESHOLD, 2 << 20);
  mallopt(M_TRIM_THRESHOLD, 2 << 20);
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
