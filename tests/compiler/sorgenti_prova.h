// Tiny line and train-run sources for the parser's and the compile step's
// tests, written into an in-memory disk under the names of a test scenario
// ("L", "T"), with a few readers for what the compile left behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/stato.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "sources/sorgenti_testo_prova.h"

namespace scenario::prova {

struct banco {
  stato s;
  disco_memoria d;
  nomi_file nomi{"L", "T"};

  explicit banco(int32_t genera_linea = 0) {
    s.nome_linea = nomi.nome_linea;
    s.nome_treno = nomi.nome_treno;
    s.genera_linea = genera_linea;
  }
  banco(const std::string& sorgente_linea, const std::string& sorgente_treno,
        int32_t genera_linea = 0)
      : banco(genera_linea) {
    d.file[nomi.sorgente_linea()] = sorgente_linea;
    d.file[nomi.sorgente_treno()] = sorgente_treno;
  }

  bool c_e(const std::string& nome) const { return d.file.count(nome) != 0; }
  const cella& in(int32_t i) const { return s.percorso.at(static_cast<size_t>(i)); }
  const voce_scenario& riga(int r) const { return s.tabella_scenario.at(static_cast<size_t>(r)); }
};

}  // namespace scenario::prova
