#include "sources/testo_1252.h"

#include <array>
#include <cstdio>

namespace scenario {

namespace {

// Bytes 80 to 9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> da_80{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool di_controllo(char32_t u) { return u < 0x20 || (u >= 0x7F && u < 0xA0); }

std::string esadecimale(unsigned char c, const char* forma) {
  std::array<char, 8> b{};
  std::snprintf(b.data(), b.size(), forma, c);
  return b.data();
}

// Quotes, backslashes and controls escaped by `esc`, the rest as UTF-8.
template <typename fuga>
std::string citato(std::string_view testo, fuga esc) {
  std::string r = "\"";
  for (const char ch : testo) {
    const auto c = static_cast<unsigned char>(ch);
    const char32_t u = carattere_1252(c);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += ch;
    } else if (di_controllo(u)) {
      r += esc(c);
    } else {
      aggiungi_utf8(r, u);
    }
  }
  return r + "\"";
}

}  // namespace

void aggiungi_utf8(std::string& r, char32_t u) {
  if (u < 0x80) {
    r += static_cast<char>(u);
  } else if (u < 0x800) {
    r += static_cast<char>(0xC0 | (u >> 6));
    r += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    r += static_cast<char>(0xE0 | (u >> 12));
    r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (u & 0x3F));
  }
}

char32_t carattere_1252(unsigned char c) { return c >= 0x80 && c < 0xA0 ? da_80[c - 0x80] : c; }

std::string utf8_da_1252(std::string_view testo) {
  std::string r;
  for (const char c : testo) aggiungi_utf8(r, carattere_1252(static_cast<unsigned char>(c)));
  return r;
}

std::string testo_citato(std::string_view testo) {
  return citato(testo, [](unsigned char c) { return esadecimale(c, "\\x%02X"); });
}

std::string testo_json(std::string_view testo) {
  // The control's code point: for 81, 8D, 8F, 90 and 9D it is the byte.
  return citato(testo, [](unsigned char c) { return esadecimale(c, "\\u%04X"); });
}

}  // namespace scenario
