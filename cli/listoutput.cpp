#include "listoutput.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace sekato::cli {

ListOutput::ListOutput(std::FILE* out, Form form, std::vector<std::string> sources)
    : m_out(out), m_form(form), m_sources(std::move(sources)), m_listings(m_sources.size()) {}

ListOutput::~ListOutput() {
  for (Listing& listing : m_listings) {
    if (listing.spool != nullptr) std::fclose(listing.spool);
    std::free(listing.memory);
  }
}

std::FILE* ListOutput::Begin(std::size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  Listing& listing = m_listings[index];
  listing.begun = true;
  if (index == m_nNext) {
    WriteOpening(index);
    return m_out;
  }
  listing.spool = std::tmpfile();
  if (listing.spool == nullptr) {
    // No room or no folder for temporary files: the listing waits in memory instead.
    listing.spool = ::open_memstream(&listing.memory, &listing.memorySize);
    listing.inMemory = true;
  }
  if (listing.spool == nullptr) throw std::bad_alloc();
  return listing.spool;
}

void ListOutput::End(std::size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  Listing& listing = m_listings[index];
  listing.ended = true;
  if (listing.spool == nullptr && m_form == Form::Json && m_sources.size() == 1) {
    std::fputc('\n', m_out);
  }
  Advance();
}

bool ListOutput::Finish(std::string& error) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    Advance();
    // What is left either never began (stopped before its turn) or waits behind one that
    // never began.
    for (; m_nNext < m_listings.size(); ++m_nNext) {
      if (m_listings[m_nNext].begun) Drain(m_nNext);
    }
    if (m_form == Form::Json && m_sources.size() > 1) {
      std::fputs(m_bAny ? "]\n" : "[]\n", m_out);
    }
  }
  if (std::fflush(m_out) != 0 && m_nError == 0) m_nError = errno;
  if (std::ferror(m_out) != 0 && m_nError == 0) m_nError = EIO;
  if (m_nError == 0) return true;
  error = std::strerror(m_nError);
  return false;
}

void ListOutput::WriteOpening(std::size_t index) {
  const bool batch = m_sources.size() > 1;
  if (m_form == Form::Json) {
    if (batch) std::fputs(m_bAny ? ",\n" : "[", m_out);
  } else if (batch) {
    std::fprintf(m_out, "%s== %s ==\n", m_bAny ? "\n" : "", m_sources[index].c_str());
  }
  m_bAny = true;
}

void ListOutput::Drain(std::size_t index) {
  Listing& listing = m_listings[index];
  if (listing.spool == nullptr) return;  // written straight to the stream
  WriteOpening(index);
  if (std::fflush(listing.spool) != 0 || std::ferror(listing.spool) != 0) {
    if (m_nError == 0) m_nError = errno != 0 ? errno : EIO;
  }
  if (listing.inMemory) {
    std::fclose(listing.spool);
    listing.spool = nullptr;
    std::fwrite(listing.memory, 1, listing.memorySize, m_out);
    std::free(listing.memory);
    listing.memory = nullptr;
  } else {
    std::rewind(listing.spool);
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, listing.spool)) > 0) {
      std::fwrite(buffer, 1, got, m_out);
    }
    if (std::ferror(listing.spool) != 0 && m_nError == 0) m_nError = EIO;
    std::fclose(listing.spool);
    listing.spool = nullptr;
  }
  if (m_form == Form::Json && m_sources.size() == 1) std::fputc('\n', m_out);
}

void ListOutput::Advance() {
  while (m_nNext < m_listings.size() && m_listings[m_nNext].ended) {
    Drain(m_nNext);
    ++m_nNext;
  }
}

}  // namespace sekato::cli
