// One 50 m cell of the track grid: what lies on it (a type code with four
// values) and the profiles that hold along it. The field order is the order of
// the compiled grid file; the file writer encodes it field by field.
#pragma once

#include <cstdint>

namespace scenario {

// Type codes of `tipo_cella`. Codes 7, 8 and 9 are not used.
enum tipo_oggetto : uint8_t {
  cella_libera = 0,
  segnale = 1,
  fine_rallentamento = 2,
  inizio_rallentamento = 3,
  avviso_rallentamento = 4,
  approccio_rallentamento = 5,
  indicatore_velocita = 6,
  punto_stazione = 10,
  marcatore_montagna = 11,
  punto_valore = 12,
  punto_abbattimento = 13,
  cartello_indicatore = 14,
};

struct cella {
  uint8_t tipo_cella = 0;
  int16_t valore1 = 0;
  int16_t valore2 = 0;
  int16_t valore3 = 0;
  int16_t valore4 = 0;
  uint8_t tempo_segnale = 0;
  uint8_t avvicinamento = 0;
  uint8_t tipo_montagna = 0;
  uint8_t vel_limite = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;

  bool operator==(const cella&) const = default;
};

// A mountain-span marker never blocks another object: it is simply overwritten.
inline bool libera(const cella& c) {
  return c.tipo_cella == cella_libera || c.tipo_cella == marcatore_montagna;
}

}  // namespace scenario
