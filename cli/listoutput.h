#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace sekato::cli {

/// The listings of `--list`, one per source, written to one stream in the order of the
/// sources while the sources are inspected in any order, several at once.
///
/// A listing whose turn has come (every listing before it is written) goes straight to the
/// stream as it is made, so nothing is held however long it is. The others are spooled (to an
/// unnamed temporary file, in memory only when there is none) and copied out as soon as their
/// turn comes. Around the listings: for several sources a table gets a "== SOURCE ==" line
/// before each and an empty line between, and JSON an array ("[" first, ",\n" between, "]\n"
/// last); for one source a JSON object ends with "\n". A source that never began (the batch was
/// stopped first) has no listing and no place in the array.
///
/// Begin and End may be called from any thread, each once per source; Finish once, after all.
class ListOutput final {
 public:
  enum class Form { Table, Json };

  ListOutput(std::FILE* out, Form form, std::vector<std::string> sources);
  ~ListOutput();
  ListOutput(const ListOutput&) = delete;
  ListOutput& operator=(const ListOutput&) = delete;

  /// The stream source `index`'s listing is written to, until End. Throws std::bad_alloc
  /// when it can be spooled neither to a file nor to memory.
  std::FILE* Begin(std::size_t index);
  /// Source `index`'s listing is whole: it, and any whole listings after it, are written out
  /// when their turn has come.
  void End(std::size_t index);
  /// Writes what is left and closes the array. False when anything could not be written (a
  /// full disk, a closed pipe), with the system's reason in `error`.
  bool Finish(std::string& error);

 private:
  struct Listing {
    bool begun = false;
    bool ended = false;
    std::FILE* spool = nullptr;  ///< null while written straight to the stream
    bool inMemory = false;       ///< the spool is a memory stream, not a temporary file
    char* memory = nullptr;      ///< the spool's text when it is kept in memory
    std::size_t memorySize = 0;
  };

  /// What stands before listing `index` in the stream.
  void WriteOpening(std::size_t index);
  /// Copies listing `index`'s spool to the stream and drops it.
  void Drain(std::size_t index);
  /// Writes out the whole listings whose turn has come.
  void Advance();

  std::FILE* m_out;
  Form m_form;
  std::vector<std::string> m_sources;
  std::vector<Listing> m_listings;
  std::size_t m_nNext = 0;  ///< the first listing not yet wholly written
  bool m_bAny = false;      ///< a listing stands in the stream already
  int m_nError = 0;         ///< the first write error, as errno
  std::mutex m_lock;
};

}  // namespace sekato::cli
