// The built-in scenario for the tools' tests: its two sources as the default
// run writes them, and its three compiled files as the default run's compile
// step writes them, all in memory.
#pragma once

#include <string>

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"

namespace scenario::prova {

inline nomi_file nomi_predefiniti() {
  return {std::string(linea_predefinita), std::string(treno_predefinito)};
}

inline void metti_sorgenti_predefinite(disco_memoria& d) {
  const nomi_file n = nomi_predefiniti();
  d.file[n.sorgente_linea()] = componi_testo(righe_linea());
  d.file[n.sorgente_treno()] = componi_testo(righe_treno());
}

// The three compiled files of the built-in scenario, by name.
inline disco_memoria compilati_predefiniti() {
  disco_memoria d;
  metti_sorgenti_predefinite(d);
  stato s{};
  s.nome_linea = linea_predefinita;
  s.nome_treno = treno_predefinito;
  memorizza_percorso(s, d, 1);
  return d;
}

}  // namespace scenario::prova
