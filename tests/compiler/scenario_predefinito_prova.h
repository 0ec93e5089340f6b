// The built-in scenario compiled in memory, as the default run does it: its
// two sources written by their own writers into an in-memory disk, then the
// compile step with argument 1. Shared by every test that starts from it.
#pragma once

#include <gtest/gtest.h>

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"

namespace scenario::prova {

// Both sources of the built-in scenario into `d`, as the default run writes them.
inline void metti_sorgenti_predefinite(disco& d) {
  const nomi_file n = nomi_file::predefiniti();
  EXPECT_TRUE(dati_linea(d, n.nome_linea).ok);
  EXPECT_TRUE(dati_treno(d, n.nome_linea, n.nome_treno).ok);
}

struct predefinito_compilato {
  nomi_file nomi = nomi_file::predefiniti();
  disco_memoria d;  // the three compiled files, the sources gone
  stato s;          // the run state the compile left
  esito_compilazione esito;
};

inline predefinito_compilato compila_predefinito() {
  predefinito_compilato p;
  metti_sorgenti_predefinite(p.d);
  p.s.nome_linea = p.nomi.nome_linea;
  p.s.nome_treno = p.nomi.nome_treno;
  p.esito = memorizza_percorso(p.s, p.d, 1);
  return p;
}

}  // namespace scenario::prova
