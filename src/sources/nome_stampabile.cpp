#include "sources/nome_stampabile.h"

#include <array>
#include <cstdio>

namespace scenario {

namespace {

// The length of the valid UTF-8 sequence at i (shortest form, no surrogate,
// at most U+10FFFF), 0 when the byte there starts none; `u` its code point.
size_t sequenza_utf8(std::string_view t, size_t i, char32_t& u) {
  const auto b = [&t](size_t k) { return static_cast<unsigned char>(t[k]); };
  const unsigned char c = b(i);
  size_t n = 0;
  char32_t minimo = 0;
  if (c < 0x80) {
    u = c;
    return 1;
  }
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    u = c & 0x1F;
    minimo = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    u = c & 0x0F;
    minimo = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    u = c & 0x07;
    minimo = 0x10000;
  } else {
    return 0;
  }
  if (t.size() - i < n) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    u = (u << 6) | (b(i + k) & 0x3F);
  }
  if (u < minimo || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  return n;
}

bool di_controllo(char32_t u) { return u < 0x20 || (u >= 0x7F && u < 0xA0); }

std::string esadecimale(unsigned int n, const char* forma) {
  std::array<char, 8> b{};
  std::snprintf(b.data(), b.size(), forma, n);
  return b.data();
}

// Walks the text: `valido` gets each printable sequence, `controllo` each
// control character (its code point and bytes), `estraneo` each byte outside UTF-8.
template <typename V, typename C, typename E>
void percorri(std::string_view t, V valido, C controllo, E estraneo) {
  for (size_t i = 0; i < t.size();) {
    char32_t u = 0;
    const size_t n = sequenza_utf8(t, i, u);
    if (n == 0) {
      estraneo(static_cast<unsigned char>(t[i]));
      ++i;
      continue;
    }
    if (di_controllo(u)) {
      controllo(u, t.substr(i, n));
    } else {
      valido(t.substr(i, n));
    }
    i += n;
  }
}

}  // namespace

std::string nome_stampabile(std::string_view testo) {
  std::string r;
  r.reserve(testo.size());
  const auto byte = [&r](unsigned char c) { r += esadecimale(c, "\\x%02X"); };
  percorri(
      testo, [&r](std::string_view s) { r += s; },
      [&byte](char32_t, std::string_view s) {
        for (const char c : s) byte(static_cast<unsigned char>(c));
      },
      byte);
  return r;
}

std::string nome_json(std::string_view testo) {
  std::string r = "\"";
  percorri(
      testo,
      [&r](std::string_view s) {
        if (s == "\"" || s == "\\") r += '\\';
        r += s;
      },
      [&r](char32_t u, std::string_view) { r += esadecimale(u, "\\u%04X"); },
      [&r](unsigned char c) { r += esadecimale(c, "\\\\x%02X"); });
  return r + "\"";
}

std::string riga_guasto(const esito_io& e) {
  return "compila_scenario: " + nome_stampabile(e.file) + ": " + nome_stampabile(e.motivo);
}

}  // namespace scenario
