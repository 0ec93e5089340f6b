// A small XML well-formedness check for the drawings' tests: one root
// element, tags properly nested and closed, attributes quoted and unique,
// only the five named entities and numeric references, no "<" or "&" loose in
// text, and valid UTF-8 throughout. Returns an empty string when the document
// is well-formed, else what is wrong and where.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::prova {

inline bool utf8_valido(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 9;
    if (n == 9 || i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    }
    i += n + 1;
  }
  return true;
}

class verifica_xml {
 public:
  explicit verifica_xml(std::string_view t) : t_(t) {}

  std::string errore() {
    if (!utf8_valido(t_)) return "UTF-8 non valido";
    if (t_.substr(0, 5) == "<?xml") {
      const size_t fine = t_.find("?>");
      if (fine == std::string_view::npos) return "dichiarazione non chiusa";
      i_ = fine + 2;
    }
    int radici = 0;
    while (i_ < t_.size()) {
      if (t_[i_] == '<') {
        if (std::string e = tag(); !e.empty()) return e + " a " + std::to_string(i_);
        if (aperti_.empty()) ++radici;
      } else {
        if (std::string e = testo(); !e.empty()) return e + " a " + std::to_string(i_);
      }
    }
    if (!aperti_.empty()) return "elemento non chiuso: " + aperti_.back();
    if (radici != 1) return "radici: " + std::to_string(radici);
    return {};
  }

 private:
  static bool nome_car(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ':' || c == '.';
  }

  std::string nome() {
    const size_t da = i_;
    while (i_ < t_.size() && nome_car(t_[i_])) ++i_;
    return std::string(t_.substr(da, i_ - da));
  }

  void spazi() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n' || t_[i_] == '\t' || t_[i_] == '\r'))
      ++i_;
  }

  std::string riferimento() {
    const size_t fine = t_.find(';', i_);
    if (fine == std::string_view::npos) return "riferimento non chiuso";
    const std::string_view r = t_.substr(i_ + 1, fine - i_ - 1);
    static const std::set<std::string_view> nomi{"amp", "lt", "gt", "quot", "apos"};
    const bool numerico = r.size() > 1 && r[0] == '#';
    if (!numerico && nomi.count(r) == 0) return "entita' sconosciuta: " + std::string(r);
    i_ = fine + 1;
    return {};
  }

  std::string testo() {
    while (i_ < t_.size() && t_[i_] != '<') {
      const auto c = static_cast<unsigned char>(t_[i_]);
      if (c < 0x20 && c != '\n' && c != '\t' && c != '\r') return "carattere di controllo";
      if (t_[i_] == '&') {
        if (std::string e = riferimento(); !e.empty()) return e;
      } else {
        ++i_;
      }
    }
    return {};
  }

  std::string valore() {
    if (i_ >= t_.size() || (t_[i_] != '"' && t_[i_] != '\'')) return "attributo senza virgolette";
    const char q = t_[i_++];
    while (i_ < t_.size() && t_[i_] != q) {
      if (t_[i_] == '<') return "'<' in un attributo";
      const auto c = static_cast<unsigned char>(t_[i_]);
      if (c < 0x20 && c != '\n' && c != '\t' && c != '\r')
        return "carattere di controllo in un attributo";
      if (t_[i_] == '&') {
        if (std::string e = riferimento(); !e.empty()) return e;
      } else {
        ++i_;
      }
    }
    if (i_ >= t_.size()) return "attributo non chiuso";
    ++i_;
    return {};
  }

  std::string tag() {
    ++i_;
    if (t_.substr(i_, 3) == "!--") {
      const size_t fine = t_.find("-->", i_);
      if (fine == std::string_view::npos) return "commento non chiuso";
      i_ = fine + 3;
      return {};
    }
    const bool chiusura = i_ < t_.size() && t_[i_] == '/';
    if (chiusura) ++i_;
    const std::string n = nome();
    if (n.empty()) return "tag senza nome";
    if (chiusura) {
      spazi();
      if (i_ >= t_.size() || t_[i_] != '>') return "chiusura malformata";
      ++i_;
      if (aperti_.empty() || aperti_.back() != n) return "chiusura fuori posto: " + n;
      aperti_.pop_back();
      return {};
    }
    std::set<std::string> attributi;
    for (;;) {
      spazi();
      if (i_ >= t_.size()) return "tag non chiuso";
      if (t_[i_] == '>') {
        ++i_;
        aperti_.push_back(n);
        return {};
      }
      if (t_.substr(i_, 2) == "/>") {
        i_ += 2;
        return {};
      }
      const std::string a = nome();
      if (a.empty()) return "attributo senza nome in " + n;
      if (!attributi.insert(a).second) return "attributo ripetuto: " + a;
      spazi();
      if (i_ >= t_.size() || t_[i_] != '=') return "attributo senza '='";
      ++i_;
      spazi();
      if (std::string e = valore(); !e.empty()) return e;
    }
  }

  std::string_view t_;
  size_t i_ = 0;
  std::vector<std::string> aperti_;
};

inline std::string errore_xml(std::string_view documento) {
  return verifica_xml(documento).errore();
}

}  // namespace scenario::prova
