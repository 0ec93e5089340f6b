// A strict JSON check (RFC 8259) for the tests and the readers' fuzz target:
// one value and nothing after it but white space; objects with string keys,
// each key once; strings in valid UTF-8 (no surrogate, no overlong form)
// with no raw control character and only the escapes JSON defines, \u
// surrogates in pairs; numbers as the grammar writes them; true, false,
// null. Nesting is bounded, so a hostile document cannot exhaust the stack.
// Returns an empty string when the document is valid, else what is wrong and
// at which byte.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace scenario::prova {

class verifica_json {
 public:
  explicit verifica_json(std::string_view t) : t_(t) {}

  std::string errore() {
    spazi();
    if (std::string e = valore(0); !e.empty()) return e + " al byte " + std::to_string(i_);
    spazi();
    if (i_ != t_.size()) return "testo dopo il valore al byte " + std::to_string(i_);
    return {};
  }

 private:
  static constexpr int profondita_massima = 256;

  bool fine() const { return i_ >= t_.size(); }
  unsigned char c() const { return static_cast<unsigned char>(t_[i_]); }

  void spazi() {
    while (!fine() && (c() == ' ' || c() == '\t' || c() == '\n' || c() == '\r')) ++i_;
  }

  std::string valore(int profondita) {
    if (profondita > profondita_massima) return "annidamento troppo profondo";
    if (fine()) return "valore mancante";
    switch (c()) {
      case '{':
        return oggetto(profondita);
      case '[':
        return lista(profondita);
      case '"': {
        std::string chiave;
        return stringa(chiave);
      }
      case 't':
        return parola("true");
      case 'f':
        return parola("false");
      case 'n':
        return parola("null");
      default:
        return numero();
    }
  }

  std::string parola(std::string_view p) {
    if (t_.substr(i_, p.size()) != p) return "parola sconosciuta";
    i_ += p.size();
    return {};
  }

  std::string oggetto(int profondita) {
    ++i_;
    spazi();
    std::set<std::string> chiavi;
    if (!fine() && c() == '}') {
      ++i_;
      return {};
    }
    for (;;) {
      spazi();
      if (fine() || c() != '"') return "chiave mancante";
      std::string chiave;
      if (std::string e = stringa(chiave); !e.empty()) return e;
      if (!chiavi.insert(chiave).second) return "chiave ripetuta: " + chiave;
      spazi();
      if (fine() || c() != ':') return "':' mancante";
      ++i_;
      spazi();
      if (std::string e = valore(profondita + 1); !e.empty()) return e;
      spazi();
      if (fine()) return "oggetto non chiuso";
      if (c() == '}') {
        ++i_;
        return {};
      }
      if (c() != ',') return "',' o '}' mancante";
      ++i_;
    }
  }

  std::string lista(int profondita) {
    ++i_;
    spazi();
    if (!fine() && c() == ']') {
      ++i_;
      return {};
    }
    for (;;) {
      spazi();
      if (std::string e = valore(profondita + 1); !e.empty()) return e;
      spazi();
      if (fine()) return "lista non chiusa";
      if (c() == ']') {
        ++i_;
        return {};
      }
      if (c() != ',') return "',' o ']' mancante";
      ++i_;
    }
  }

  bool esadecimali(unsigned& u) {
    if (t_.size() - i_ < 4) return false;
    u = 0;
    for (int k = 0; k < 4; ++k, ++i_) {
      const char h = t_[i_];
      u <<= 4;
      if (h >= '0' && h <= '9') {
        u |= static_cast<unsigned>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        u |= static_cast<unsigned>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        u |= static_cast<unsigned>(h - 'A' + 10);
      } else {
        return false;
      }
    }
    return true;
  }

  // A \u escape (after the "\u"), a high surrogate followed by its low one.
  std::string unicode(std::string& s) {
    unsigned u = 0;
    if (!esadecimali(u)) return "\\u senza quattro cifre";
    if (u >= 0xDC00 && u <= 0xDFFF) return "surrogato basso da solo";
    if (u >= 0xD800 && u <= 0xDBFF) {
      unsigned basso = 0;
      if (t_.substr(i_, 2) != "\\u") return "surrogato alto da solo";
      i_ += 2;
      if (!esadecimali(basso) || basso < 0xDC00 || basso > 0xDFFF) return "surrogato alto da solo";
    }
    s += '?';
    return {};
  }

  // One UTF-8 sequence at the reader's place, shortest form, no surrogate.
  std::string utf8(std::string& s) {
    const unsigned char b = c();
    size_t n = 0;
    unsigned u = 0;
    unsigned minimo = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      n = 2;
      u = b & 0x1Fu;
      minimo = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 3;
      u = b & 0x0Fu;
      minimo = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 4;
      u = b & 0x07u;
      minimo = 0x10000;
    } else {
      return "UTF-8 non valido";
    }
    if (t_.size() - i_ < n) return "UTF-8 troncato";
    for (size_t k = 1; k < n; ++k) {
      const auto x = static_cast<unsigned char>(t_[i_ + k]);
      if ((x & 0xC0) != 0x80) return "UTF-8 non valido";
      u = (u << 6) | (x & 0x3Fu);
    }
    if (u < minimo || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return "UTF-8 non valido";
    s.append(t_.substr(i_, n));
    i_ += n;
    return {};
  }

  std::string stringa(std::string& s) {
    ++i_;
    for (;;) {
      if (fine()) return "stringa non chiusa";
      const unsigned char b = c();
      if (b == '"') {
        ++i_;
        return {};
      }
      if (b < 0x20) return "carattere di controllo in una stringa";
      if (b == '\\') {
        ++i_;
        if (fine()) return "stringa non chiusa";
        const char e = t_[i_++];
        if (e == 'u') {
          if (std::string r = unicode(s); !r.empty()) return r;
        } else if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
          s += e;
        } else {
          return "escape sconosciuto";
        }
        continue;
      }
      if (b < 0x80) {
        s += static_cast<char>(b);
        ++i_;
        continue;
      }
      if (std::string r = utf8(s); !r.empty()) return r;
    }
  }

  bool cifre() {
    const size_t da = i_;
    while (!fine() && c() >= '0' && c() <= '9') ++i_;
    return i_ > da;
  }

  std::string numero() {
    if (!fine() && c() == '-') ++i_;
    if (fine()) return "numero non valido";
    if (c() == '0') {
      ++i_;
    } else if (!cifre()) {
      return "valore non valido";
    }
    if (!fine() && c() == '.') {
      ++i_;
      if (!cifre()) return "numero senza cifre dopo il punto";
    }
    if (!fine() && (c() == 'e' || c() == 'E')) {
      ++i_;
      if (!fine() && (c() == '+' || c() == '-')) ++i_;
      if (!cifre()) return "esponente senza cifre";
    }
    return {};
  }

  std::string_view t_;
  size_t i_ = 0;
};

inline std::string errore_json(std::string_view documento) {
  return verifica_json(documento).errore();
}

}  // namespace scenario::prova
