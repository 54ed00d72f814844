#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sekato::engine {

/// Finds where any of a set of byte strings (the literals) stands in a text, in one vector
/// pass however many literals there are: each literal is looked for by two of its bytes side
/// by side (a pair), and only where a pair stands is the whole literal compared.
///
/// Which two bytes stand for a literal matters: in GBK "本章未完" the pair of "章" is in every
/// heading, while the bytes across "未完" are rare. Tune() counts the pairs of a stretch of
/// the text and gives each literal its rarest pair, so the pass stops seldom. Matches are
/// found at any byte, not only at character boundaries: the caller tells a real one.
///
/// Example: with the literals "ab" and "xyz", Find("..xyz.ab", 0) is 2 and Find(…, 3) is 6.
class LiteralSieve final {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  /// Distinct pairs the vector pass looks for at once; with more, the pass goes byte by byte.
  static constexpr std::size_t kMaxPairs = 32;

  /// `literals`: each at least two bytes long (CanHold tells); any number of them.
  explicit LiteralSieve(std::vector<std::string> literals);

  /// True when `literal` can be looked for: two bytes or more.
  static bool CanHold(std::string_view literal) { return literal.size() >= 2; }

  /// Gives each literal the pair of its bytes that is rarest in `sample` (a stretch of the
  /// text to come); before it, each literal goes by its first two bytes.
  void Tune(std::string_view sample);

  /// The first position p >= from where a literal stands whole in `text`, or npos.
  std::size_t Find(std::string_view text, std::size_t from) const;

  /// The same, byte by byte: tests hold the vector pass to its answers.
  std::size_t FindPlain(std::string_view text, std::size_t from) const;

 private:
  /// A pair of bytes and one literal it stands for, `offset` bytes into it.
  struct Probe {
    unsigned char first = 0;
    unsigned char second = 0;
    std::size_t literal = 0;
    std::size_t offset = 0;
  };
  /// True when a literal whose probe is `probe` stands whole with the probe's pair at `at`.
  bool StandsAt(std::string_view text, std::size_t at, const Probe& probe) const;
  /// Where some literal stands with its pair at `at` (one of the probes' pairs), or npos.
  std::size_t Confirm(std::string_view text, std::size_t at) const;
  void BuildPairs();

  std::vector<std::string> m_literals;
  std::vector<Probe> m_probes;
  /// The distinct pairs of the probes, as first and second bytes side by side.
  std::vector<unsigned char> m_firsts;
  std::vector<unsigned char> m_seconds;
  bool m_isFirst[256] = {};
};

}  // namespace sekato::engine
