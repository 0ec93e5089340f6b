// The compile step: a fresh table, the parser, the finishing pass, the header
// constants and scenario codes in their slots, then the three compiled files.
// A slot already taken (1250, 1251), no grid at all or a disk that failed
// while the sources were read stops it before any file is written; every other
// fault stays in codice_errore for the caller.
#include "compiler/memorizza_percorso.h"

#include <cstddef>
#include <utility>

#include "compiler/codici.h"
#include "compiler/finitura.h"
#include "compiler/memorizza_dati.h"
#include "compiler/uscita.h"
#include "sources/nomi_file.h"

namespace scenario {

namespace {

constexpr int16_t costante_riga = 610;
constexpr int16_t costante_cella = 5121;
constexpr int32_t errore_costanti = 1250;
constexpr int32_t errore_codici = 1251;
constexpr int32_t errore_lettura = 25;

// The header constants and the scenario codes, each into slots that must
// still be empty. Returns the error for the box, or 0.
int32_t timbra_intestazione(stato& s) {
  voce_scenario& riga = s.tabella_scenario[riga_linea];
  cella& prima = s.percorso[1];
  if (riga.dato4 != 0 || prima.valore1 != 0) return errore_costanti;
  riga.dato4 = costante_riga;
  prima.valore1 = costante_cella;
  if (riga.orario != 0 || prima.valore2 != 0) return errore_codici;
  riga.orario = codice_gara_st(s.tabella_scenario);
  // At most 25 x 255: always an Integer.
  prima.valore2 = static_cast<int16_t>(codice_gara_og(s.tabella_scenario));
  return 0;
}

esito_io scrivi_compilati(const stato& s, disco& d) {
  const nomi_file nomi{s.nome_linea, s.nome_treno};
  if (s.genera_linea != 0) {
    const auto piano = [&s](const scrivi_pezzo& scrivi) {
      return produci_linea(s.tracciato, scrivi);
    };
    if (esito_io e = d.sostituisci_a_pezzi(nomi.linea_compilata(), piano); !e.ok) return e;
  }
  if (esito_io e = d.sostituisci(nomi.treno_compilato(), immagine_treno(s.tabella_scenario));
      !e.ok) {
    return e;
  }
  return d.sostituisci(nomi.griglia_compilata(), immagine_griglia(s.percorso));
}

}  // namespace

esito_compilazione memorizza_percorso(stato& s, disco& d, int32_t j) {
  esito_compilazione esito;
  s.genera_linea = j;
  s.codice_errore = 0;
  for (voce_scenario& riga : s.tabella_scenario) riga = voce_scenario{};

  esito.io = memorizza_dati(s, d);
  // The disk failed under the parser: what it read is not the scenario, and
  // must not replace the compiled files of an earlier run.
  if (!esito.io.ok) return esito;
  // Without a grid there is nothing to finish or write: the parser's number
  // goes to the error box instead.
  if (!s.nella_griglia(1)) {
    esito.errore_fatale = s.codice_errore != 0 ? s.codice_errore : errore_lettura;
    return esito;
  }
  finitura_percorso(s);

  esito.errore_fatale = timbra_intestazione(s);
  if (esito.errore_fatale != 0) return esito;
  esito_io scritti = scrivi_compilati(s, d);
  if (!scritti.ok) esito.io = std::move(scritti);
  return esito;
}

}  // namespace scenario
