// The compile step: a fresh table, the parser, the finishing pass, the header
// constants and scenario codes in their slots, then the three compiled files.
// A slot already taken (1250, 1251), no grid at all or a disk that failed
// while the sources were read stops it before any file is written; every other
// fault stays in codice_errore for the caller.
#include "compiler/memorizza_percorso.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "compiler/codici.h"
#include "compiler/errori.h"
#include "compiler/finitura.h"
#include "compiler/memorizza_dati.h"
#include "compiler/uscita.h"
#include "sources/nomi_file.h"

namespace scenario {

namespace {

constexpr int16_t costante_riga = 610;
constexpr int16_t costante_cella = 5121;

// The header constants and the scenario codes, each into slots that must
// still be empty. Returns the error for the box, or 0.
int32_t timbra_intestazione(stato& s) {
  voce_scenario& riga = s.tabella_scenario[riga_linea];
  cella& prima = s.percorso[1];
  if (riga.dato4 != 0 || prima.valore1 != 0) return errori::costanti_presenti;
  riga.dato4 = costante_riga;
  prima.valore1 = costante_cella;
  if (riga.orario != 0 || prima.valore2 != 0) return errori::codici_presenti;
  riga.orario = codice_gara_st(s.tabella_scenario);
  // At most 25 x 255: always an Integer.
  prima.valore2 = static_cast<int16_t>(codice_gara_og(s.tabella_scenario));
  return 0;
}

// One finished draft put in place: the disk replaces it now, or (a disk that
// gathers a compile's files) keeps it for a replacement of all together.
esito_io metti_al_posto(disco& d, std::unique_ptr<bozza> b) {
  std::vector<std::unique_ptr<bozza>> una;
  una.push_back(std::move(b));
  return d.metti_al_posto(una);
}

// The plan's file is finished (its points went to it while the parser
// computed them), then the table and the grid are written, each file in
// place before the next is begun.
esito_io scrivi_compilati(const stato& s, disco& d, uscita_piano& piano) {
  const nomi_file nomi{s.nome_linea, s.nome_treno};
  if (s.genera_linea != 0) {
    if (!piano.file) piano.file = d.apri_bozza(piano.nome);
    if (piano.scrittore) piano.scrittore->chiudi();
    piano.scrittore.reset();
    if (esito_io e = metti_al_posto(d, std::move(piano.file)); !e.ok) return e;
  }
  std::unique_ptr<bozza> treno = d.apri_bozza(nomi.treno_compilato());
  produci_treno(s.tabella_scenario, *treno);
  if (esito_io e = metti_al_posto(d, std::move(treno)); !e.ok) return e;
  std::unique_ptr<bozza> griglia = d.apri_bozza(nomi.griglia_compilata());
  produci_griglia(s.percorso, *griglia);
  return metti_al_posto(d, std::move(griglia));
}

}  // namespace

esito_compilazione memorizza_percorso(stato& s, disco& d, int32_t j) {
  esito_compilazione esito;
  s.genera_linea = j;
  s.codice_errore = 0;
  for (voce_scenario& riga : s.tabella_scenario) riga = voce_scenario{};

  uscita_piano piano{d, nomi_file{s.nome_linea, s.nome_treno}.linea_compilata(), {}, {}};
  esito.io = memorizza_dati(s, d, j != 0 ? &piano : nullptr);
  // The disk failed under the parser: what it read is not the scenario, and
  // must not replace the compiled files of an earlier run.
  if (!esito.io.ok) return esito;
  // Without a grid there is nothing to finish or write: the parser's number
  // goes to the error box instead.
  if (!s.nella_griglia(1)) {
    esito.errore_fatale = s.codice_errore != 0 ? s.codice_errore : errori::lettura;
    return esito;
  }
  finitura_percorso(s);

  esito.errore_fatale = timbra_intestazione(s);
  if (esito.errore_fatale != 0) return esito;
  esito_io scritti = scrivi_compilati(s, d, piano);
  if (!scritti.ok) esito.io = std::move(scritti);
  return esito;
}

}  // namespace scenario
