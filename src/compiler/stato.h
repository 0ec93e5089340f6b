// The run state: everything the compile step shares between the parser, the
// placement operations, the finishing pass and the output stage. One object,
// created zeroed, passed explicitly; nothing of it lives in a global.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"

namespace scenario {

inline constexpr int massimo_montagne = 80;

struct stato {
  std::string nome_linea;
  std::string nome_treno;

  int32_t genera_linea = 0;      // non-zero: build the plan and write the line file
  int32_t codice_errore = 0;     // the error register; 0 = none
  int32_t posizione_errore = 0;  // route position (m) of that error

  // The track grid, indices 0 .. ultima_cella; empty until the route length is read.
  std::vector<cella> percorso;
  int32_t ultima_cella = 0;

  tabella tabella_scenario{};

  // The track plan, indices 0 .. fine_tracciato; allocated only with genera_linea.
  scenario::tracciato tracciato;
  int32_t fine_tracciato = 0;

  // Terrain spans stored for the 150 m rule; index 0 is never used.
  std::array<int32_t, massimo_montagne + 1> inizio_montagna{};
  std::array<int32_t, massimo_montagne + 1> fine_montagna{};
  int32_t numero_montagne = 0;

  // The parser's current field; the scenario codes overwrite it with their key.
  std::string riga;

  bool griglia_creata() const { return !percorso.empty(); }
  // True when index i is a cell of the grid.
  bool nella_griglia(int64_t i) const { return i >= 0 && i <= ultima_cella && griglia_creata(); }
};

}  // namespace scenario
