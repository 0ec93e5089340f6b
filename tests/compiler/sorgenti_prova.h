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

namespace scenario::prova {

using righe = std::vector<std::string>;

// The lines, each ended by CR LF.
inline std::string testo(const righe& r) {
  std::string t;
  for (const std::string& l : r) t += l + "\r\n";
  return t;
}

// A line source: [generale] with the route length first and `generale` after
// it, then the body rows and "[fine]".
inline std::string linea(const righe& corpo, const righe& generale = {},
                         const std::string& lunghezza = "lunghezza percorso,    10000") {
  righe r{"[generale]", lunghezza};
  r.insert(r.end(), generale.begin(), generale.end());
  r.push_back("[curve]");
  r.insert(r.end(), corpo.begin(), corpo.end());
  r.push_back("[fine]");
  return testo(r);
}

// A train-run source: [generale], the rows, "[fine]".
inline std::string treno(const righe& corpo) {
  righe r{"[generale]"};
  r.insert(r.end(), corpo.begin(), corpo.end());
  r.push_back("[fine]");
  return testo(r);
}

// A station row of sixteen numbers and a name, with every datum 1 unless given.
inline std::string stazione(int32_t posizione, int tipo, int32_t lunghezza,
                            const std::string& nome = "STAZIONE", int dato3 = 0) {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", 1, 1, " + std::to_string(dato3) +
         ", 1, 1, 1, 1, 1, 1, 1, 17, 34, 0, " + nome;
}

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
