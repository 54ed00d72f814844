#include "tocjson.h"

#include <cctype>
#include <cstring>
#include <cstdint>
#include <string>

namespace sekato::cli {

namespace {

// Strict UTF-8, as JSON text must be: no overlong forms, no surrogates, nothing past U+10FFFF.
bool ValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  const auto continuation = [&](std::ptrdiff_t at) { return p + at < end && (p[at] & 0xC0) == 0x80; };
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
    } else if (b >= 0xC2 && b <= 0xDF && continuation(1)) {
      p += 2;
    } else if (b >= 0xE0 && b <= 0xEF && continuation(1) && continuation(2) &&
               !(b == 0xE0 && p[1] < 0xA0) && !(b == 0xED && p[1] >= 0xA0)) {
      p += 3;
    } else if (b >= 0xF0 && b <= 0xF4 && continuation(1) && continuation(2) && continuation(3) &&
               !(b == 0xF0 && p[1] < 0x90) && !(b == 0xF4 && p[1] >= 0x90)) {
      p += 4;
    } else {
      return false;
    }
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One listing as one object; false as soon as anything is not plainly right.
class Reader final {
 public:
  explicit Reader(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

  bool Read(engine::ChapterList& list) {
    if (!Eat('{') || !Members([&](std::string_view key) { return TopField(key, list); })) {
      return false;
    }
    Space();
    return m_p == m_end && m_sawHeadings;
  }

 private:
  void Space() {
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t')) ++m_p;
  }
  bool Eat(char c) {
    Space();
    if (m_p >= m_end || *m_p != c) return false;
    ++m_p;
    return true;
  }
  bool Peek(char c) {
    Space();
    return m_p < m_end && *m_p == c;
  }

  // The members of an object whose '{' was eaten, each value read by `field` after its key.
  template <typename Field>
  bool Members(const Field& field) {
    if (Eat('}')) return true;
    do {
      std::string_view key;
      if (!String(key, true) || !Eat(':') || !field(key)) return false;
    } while (Eat(','));
    return Eat('}');
  }
  // The elements of an array whose '[' was eaten.
  template <typename Element>
  bool Elements(const Element& element) {
    if (Eat(']')) return true;
    do {
      if (!element()) return false;
    } while (Eat(','));
    return Eat(']');
  }

  // A string; `plain`: one without escapes, whose bytes are then `out`.
  bool String(std::string_view& out, bool plain) {
    if (!Eat('"')) return false;
    const char* const start = m_p;
    // Most strings hold no escape: up to the next quote, one look over all the bytes at once
    // (a loop the compiler turns into vector code) tells whether the string ends there.
    if (const void* quote = std::memchr(m_p, '"', static_cast<std::size_t>(m_end - m_p))) {
      const auto* const close = static_cast<const char*>(quote);
      unsigned odd = 0;
      unsigned wide = 0;
      for (const char* q = start; q < close; ++q) {
        const auto c = static_cast<unsigned char>(*q);
        odd |= static_cast<unsigned>(c < 0x20) | static_cast<unsigned>(c == '\\');
        wide |= c & 0x80u;
      }
      if (odd == 0) {
        out = std::string_view(start, static_cast<std::size_t>(close - start));
        m_p = close + 1;
        return wide == 0 || ValidUtf8(out);
      }
    }
    bool high = false;
    while (m_p < m_end) {
      const auto c = static_cast<unsigned char>(*m_p);
      if (c == '"') {
        out = std::string_view(start, static_cast<std::size_t>(m_p - start));
        ++m_p;
        return !high || ValidUtf8(out);
      }
      if (c < 0x20) return false;
      high = high || c >= 0x80;
      ++m_p;
      if (c == '\\') {
        if (plain || m_p >= m_end) return false;
        const char e = *m_p++;
        if (e == 'u') {
          for (int i = 0; i < 4; ++i, ++m_p) {
            if (m_p >= m_end || !std::isxdigit(static_cast<unsigned char>(*m_p))) return false;
          }
        } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
          return false;
        }
      }
    }
    return false;
  }
  bool String(std::string& out) {
    std::string_view text;
    if (!String(text, true)) return false;
    out.assign(text);
    return true;
  }

  // A whole number small enough to be exact.
  bool Integer(std::int64_t& out) {
    Space();
    const bool negative = m_p < m_end && *m_p == '-';
    const char* digits = m_p + (negative ? 1 : 0);
    const char* q = digits;
    std::int64_t value = 0;
    while (q < m_end && IsDigit(*q) && q - digits < 18) value = value * 10 + (*q++ - '0');
    if (q == digits || (q - digits > 1 && *digits == '0')) return false;
    if (q < m_end && (IsDigit(*q) || *q == '.' || *q == 'e' || *q == 'E')) return false;
    m_p = q;
    out = negative ? -value : value;
    return true;
  }
  // Any number, as JSON writes it.
  bool Number() {
    Space();
    const char* q = m_p;
    if (q < m_end && *q == '-') ++q;
    const auto digits = [&] {
      const char* from = q;
      while (q < m_end && IsDigit(*q)) ++q;
      return q > from;
    };
    if (q < m_end && *q == '0') {
      ++q;
    } else if (!digits()) {
      return false;
    }
    if (q < m_end && *q == '.' && (++q, !digits())) return false;
    if (q < m_end && (*q == 'e' || *q == 'E')) {
      ++q;
      if (q < m_end && (*q == '+' || *q == '-')) ++q;
      if (!digits()) return false;
    }
    m_p = q;
    return true;
  }
  bool Word(std::string_view word) {
    Space();
    if (static_cast<std::size_t>(m_end - m_p) < word.size() ||
        std::string_view(m_p, word.size()) != word) {
      return false;
    }
    m_p += word.size();
    return true;
  }
  // Any value, passed over.
  bool Skip(int depth = 0) {
    if (depth > 64) return false;
    Space();
    if (m_p >= m_end) return false;
    std::string_view ignored;
    switch (*m_p) {
      case '"':
        return String(ignored, false);
      case '{':
        ++m_p;
        return Members([&](std::string_view) { return Skip(depth + 1); });
      case '[':
        ++m_p;
        return Elements([&] { return Skip(depth + 1); });
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  bool TopField(std::string_view key, engine::ChapterList& list) {
    if (key == "sourceBytes") return Integer(list.sourceBytes);
    if (key == "hash") return String(list.hash);
    if (key == "convert") return String(list.convert);
    if (key == "replace") {
      return Eat('[') && Elements([&] { return String(list.replace.emplace_back()); });
    }
    if (key == "headings") {
      if (m_sawHeadings || !Eat('[')) return false;
      m_sawHeadings = true;
      return Elements([&] { return Heading(list.entries.emplace_back()); });
    }
    return Skip();
  }

  bool Heading(engine::ChapterEntry& entry) {
    bool hasLine = false;
    const auto field = [&](std::string_view key) {
      if (key == "line") return hasLine = Integer(entry.line);
      if (key == "title") return String(entry.title);
      return Skip();
    };
    return Eat('{') && Members(field) && hasLine;
  }

  const char* m_p;
  const char* m_end;
  bool m_sawHeadings = false;
};

}  // namespace

std::optional<engine::ChapterList> TocJson::Quick(std::string_view text) {
  engine::ChapterList list;
  Reader reader(text);
  if (!reader.Read(list)) return std::nullopt;
  return list;
}

}  // namespace sekato::cli
