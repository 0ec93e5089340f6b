// The scenario table (87 rows: stations upward from 1, sign texts downward
// from 80, header rows 81 to 86) and the track plan (two plane coordinates per
// metre, each empty, a 16-bit integer or a double, as the plan file tags them).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace scenario {

// Field order is the declaration order of the record; the train-run file
// writer lays the row out in its own (different) order.
struct voce_scenario {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t dato1 = 0;
  std::string nome;
  int16_t dato4 = 0;
  int16_t dato5 = 0;
  int16_t dato7 = 0;
  int16_t dato8 = 0;
  int16_t dato9 = 0;
  uint8_t dato6 = 0;
  uint8_t dato10 = 0;
  uint8_t dato3 = 0;
  uint8_t dato2 = 0;
  int32_t orario = 0;

  bool operator==(const voce_scenario&) const = default;
};

inline constexpr int righe_tabella = 87;
using tabella = std::array<voce_scenario, righe_tabella>;

// Fixed rows of the table.
inline constexpr int riga_progressiva_tre = 81;  // first kilometric origin after ordering
inline constexpr int riga_treno = 84;            // braked mass, route length, carriages
inline constexpr int riga_linea = 85;            // backgrounds, nome_linea, 610, codice_gara_st
inline constexpr int riga_servizio = 86;         // cab signals, nome_treno, sand, clock
inline constexpr int prima_riga_cartelli = 80;   // sign texts fill downward from here

// Type tags of the plan values, as written in the compiled line file.
enum class tipo_valore : uint8_t { vuoto = 0, intero = 2, doppio = 5 };

// The plan, indices 0 .. fine (one point per metre), columns 0 and 1. Kept as
// column arrays (value and tag) so a 1,000,000 m route stays small. A plan
// created without keeping its values has only its end: the compile then
// streams its points to the file and nothing may set or read them here.
class tracciato {
 public:
  void crea(int32_t fine, bool trattieni = true);  // every value empty; fine >= 0
  void libera();                                   // back to "not allocated"
  bool allocato() const { return fine_ >= 0; }
  bool trattenuto() const { return !valori_[0].empty(); }
  int32_t fine() const { return fine_; }

  void imposta_intero(int32_t m, int colonna, int16_t v) {
    valori_[colonna][m] = v;
    tipi_[colonna][m] = tipo_valore::intero;
  }
  void imposta_doppio(int32_t m, int colonna, double v) {
    valori_[colonna][m] = v;
    tipi_[colonna][m] = tipo_valore::doppio;
  }
  // An empty value reads as 0, an integer as its exact value.
  double valore(int32_t m, int colonna) const { return valori_[colonna][m]; }
  tipo_valore tipo(int32_t m, int colonna) const { return tipi_[colonna][m]; }

 private:
  std::array<std::vector<double>, 2> valori_;
  std::array<std::vector<tipo_valore>, 2> tipi_;
  int32_t fine_ = -1;
};

}  // namespace scenario
