#include "driver/esecuzione.h"

#include <cstdio>
#include <string>

#include "compiler/errori.h"
#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "documents/dati_note.h"
#include "documents/dati_rallentamenti.h"
#include "documents/dati_scheda.h"
#include "driver/errore.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "strumenti/disco_raccolta.h"

namespace scenario {

namespace {

// A failure of the disk: one line naming the file and the system's reason.
int riferisci_disco(const esito_io& esito) {
  std::fprintf(stderr, "%s\n", riga_guasto(esito).c_str());
  return uscita_disco;
}

// The compile recorded a fault but wrote its outputs: say which and where.
int riferisci_codice(const stato& s) {
  std::string riga = "compila_scenario: errore " + std::to_string(s.codice_errore) +
                     " alla posizione " + std::to_string(s.posizione_errore) + " m";
  if (auto descrizione = descrizione_errore(s.codice_errore); !descrizione.empty())
    riga += ": " + std::string(descrizione);
  std::fprintf(stderr, "%s\n", riga.c_str());
  return uscita_codice_errore;
}

// The two sources go to the disk at once, to be read back; the three
// documents wait in `insieme` with the compiled files.
esito_io scrivi_sorgenti(disco& d, const stato& s) {
  if (auto e = dati_linea(d, s.nome_linea); !e.ok) return e;
  return dati_treno(d, s.nome_linea, s.nome_treno);
}

esito_io scrivi_documenti(disco& insieme, const stato& s) {
  if (auto e = dati_note(insieme, s.nome_linea, s.nome_treno); !e.ok) return e;
  if (auto e = dati_rallentamenti(insieme, s.nome_linea, s.nome_treno); !e.ok) return e;
  return dati_scheda(insieme, s.nome_linea, s.nome_treno);
}

// The sources are deleted only once every output is in place: a run that
// fails before leaves them, and the next run writes them again.
esito_io elimina_sorgenti(disco& d, const stato& s) {
  const nomi_file nomi{s.nome_linea, s.nome_treno};
  if (auto e = d.elimina(nomi.sorgente_linea()); !e.ok) return e;
  return d.elimina(nomi.sorgente_treno());
}

}  // namespace

int esegui(disco& d, finestra& f) {
  stato s{};
  s.nome_linea = linea_predefinita;
  s.nome_treno = treno_predefinito;
  s.trattieni_tracciato = false;
  f.mostra_attendere();

  if (auto e = scrivi_sorgenti(d, s); !e.ok) return riferisci_disco(e);
  // Every output is written first and then put in place as one set.
  disco_raccolta insieme(d, d);
  if (auto e = scrivi_documenti(insieme, s); !e.ok) return riferisci_disco(e);
  const esito_compilazione esito = memorizza_percorso(s, insieme, 1);
  if (!esito.io.ok) return riferisci_disco(esito.io);
  if (auto e = insieme.scrivi_su_uscita(); !e.ok) return riferisci_disco(e);
  if (auto e = elimina_sorgenti(d, s); !e.ok) return riferisci_disco(e);
  if (esito.errore_fatale != 0) {
    // The box stays " Errore n. N"; its meaning goes to standard error.
    std::string riga = "compila_scenario: errore " + std::to_string(esito.errore_fatale);
    if (auto d = descrizione_errore(esito.errore_fatale); !d.empty()) riga += ": " + std::string(d);
    std::fprintf(stderr, "%s\n", riga.c_str());
    return errore(f, std::to_string(esito.errore_fatale));
  }
  // The outputs carry the parser's error 25, as ever; what the user hears is
  // the cause, not a row to blame.
  if (s.diagnostica.memoria_esaurita) {
    std::fputs("compila_scenario: memoria esaurita\n", stderr);
    return uscita_memoria;
  }
  if (s.codice_errore != 0) return riferisci_codice(s);
  return uscita_normale;
}

}  // namespace scenario
