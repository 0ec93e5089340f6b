#include "compiler/uscita.h"

#include <algorithm>
#include <cstring>

namespace scenario {

namespace {

// Little-endian encoders: the layout is the code below, whatever the host's
// byte order or the compiler's padding.
void put_u8(std::string& dst, uint8_t v) { dst.push_back(static_cast<char>(v)); }

void put_u16(std::string& dst, uint16_t v) {
  put_u8(dst, static_cast<uint8_t>(v));
  put_u8(dst, static_cast<uint8_t>(v >> 8));
}

void put_i16(std::string& dst, int16_t v) { put_u16(dst, static_cast<uint16_t>(v)); }

void put_u32(std::string& dst, uint32_t v) {
  for (int i = 0; i < 4; ++i) put_u8(dst, static_cast<uint8_t>(v >> (8 * i)));
}

void put_i32(std::string& dst, int32_t v) { put_u32(dst, static_cast<uint32_t>(v)); }

void put_f64(std::string& dst, double v) {
  uint64_t bit = 0;
  static_assert(sizeof bit == sizeof v);
  std::memcpy(&bit, &v, sizeof bit);
  for (int i = 0; i < 8; ++i) put_u8(dst, static_cast<uint8_t>(bit >> (8 * i)));
}

constexpr size_t byte_cella = 15;
constexpr size_t byte_fissi_riga = 34;
constexpr size_t nome_massimo = 0xFFFF;  // the length field is 16 bits

size_t byte_valore(tipo_valore t) {
  switch (t) {
    case tipo_valore::intero: return 2 + 2;
    case tipo_valore::doppio: return 2 + 8;
    case tipo_valore::vuoto: break;
  }
  return 2;
}

void put_valore(std::string& dst, const tracciato& t, int32_t m, int colonna) {
  const tipo_valore tipo = t.tipo(m, colonna);
  put_u16(dst, static_cast<uint16_t>(tipo));
  switch (tipo) {
    case tipo_valore::intero:
      // Stored from an int16, so the conversion back is exact.
      put_i16(dst, static_cast<int16_t>(t.valore(m, colonna)));
      break;
    case tipo_valore::doppio:
      put_f64(dst, t.valore(m, colonna));
      break;
    case tipo_valore::vuoto:
      break;
  }
}

size_t lunghezza_nome(const voce_scenario& r) { return std::min(r.nome.size(), nome_massimo); }

void put_riga(std::string& dst, const voce_scenario& r) {
  put_u8(dst, r.tipo);
  put_i32(dst, r.inizio);
  put_i32(dst, r.fine);
  put_i32(dst, r.posizione);
  put_u8(dst, r.dato1);
  const size_t n = lunghezza_nome(r);
  put_u16(dst, static_cast<uint16_t>(n));
  dst.append(r.nome, 0, n);
  put_i16(dst, r.dato4);
  put_i16(dst, r.dato5);
  put_i16(dst, r.dato7);
  put_i16(dst, r.dato8);
  put_i16(dst, r.dato9);
  put_u8(dst, r.dato6);
  put_u8(dst, r.dato10);
  put_u8(dst, r.dato3);
  put_u8(dst, r.dato2);
  put_i32(dst, r.orario);
}

void put_cella(std::string& dst, const cella& c) {
  put_u8(dst, c.tipo_cella);
  put_i16(dst, c.valore1);
  put_i16(dst, c.valore2);
  put_i16(dst, c.valore3);
  put_i16(dst, c.valore4);
  put_u8(dst, c.tempo_segnale);
  put_u8(dst, c.avvicinamento);
  put_u8(dst, c.tipo_montagna);
  put_u8(dst, c.vel_limite);
  put_u8(dst, c.pendenza);
  put_u8(dst, c.aderenza);
}

}  // namespace

std::string immagine_linea(const tracciato& t) {
  std::string dst;
  if (!t.allocato()) return dst;
  const int32_t fine = t.fine();
  size_t dimensione = 0;
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= fine; ++m) dimensione += byte_valore(t.tipo(m, colonna));
  }
  dst.reserve(dimensione);
  // Column order: every first coordinate, then every second one.
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= fine; ++m) put_valore(dst, t, m, colonna);
  }
  return dst;
}

std::string immagine_treno(const tabella& t) {
  size_t dimensione = 0;
  for (const voce_scenario& r : t) dimensione += byte_fissi_riga + lunghezza_nome(r);
  std::string dst;
  dst.reserve(dimensione);
  for (const voce_scenario& r : t) put_riga(dst, r);
  return dst;
}

std::string immagine_griglia(const std::vector<cella>& percorso) {
  std::string dst;
  dst.reserve(byte_cella * percorso.size());
  for (const cella& c : percorso) put_cella(dst, c);
  return dst;
}

}  // namespace scenario
