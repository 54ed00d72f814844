#pragma once

#include <cstddef>

namespace sekato::engine {

/// One iconv conversion descriptor, closed with the object: every class that converts with
/// iconv holds one of these rather than a descriptor of its own.
///
/// Example: IconvHandle("UTF-8", "GB18030") turns "\xA2\xE3" into "€".
class IconvHandle final {
 public:
  IconvHandle() = default;
  /// Opens the conversion from `from` into `to` (iconv's names); Valid() tells whether it
  /// could be.
  IconvHandle(const char* to, const char* from);
  ~IconvHandle();
  IconvHandle(IconvHandle&& other) noexcept;
  IconvHandle& operator=(IconvHandle&& other) noexcept;
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool Valid() const { return m_cd != nullptr; }

  /// iconv's own call: converts from `in` into `out`, both moving past what was done.
  /// Returns (size_t)-1 with errno E2BIG, EILSEQ or EINVAL where it stopped early.
  std::size_t Convert(char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const;

  /// Writes out what the converter holds back to see whether the next character combines
  /// with it (Big5-HKSCS does), and returns to the initial state; (size_t)-1 with E2BIG when
  /// `out` has no room for it.
  std::size_t Flush(char*& out, std::size_t& outLeft) const;

  /// Forgets anything held from the text before.
  void Reset() const;

 private:
  void Close();
  void* m_cd = nullptr;
};

}  // namespace sekato::engine
