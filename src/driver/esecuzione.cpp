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
#include "sources/nomi_file.h"

namespace scenario {

namespace {

// A failure of the disk: one line naming the file and the system's reason.
int riferisci_disco(const esito_io& esito) {
  std::fprintf(stderr, "compila_scenario: %s: %s\n", esito.file.c_str(), esito.motivo.c_str());
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

// The five writers, in their fixed order; the first failure stops the run.
esito_io scrivi_file(disco& d, const stato& s) {
  if (auto e = dati_linea(d, s.nome_linea); !e.ok) return e;
  if (auto e = dati_treno(d, s.nome_linea, s.nome_treno); !e.ok) return e;
  if (auto e = dati_note(d, s.nome_linea, s.nome_treno); !e.ok) return e;
  if (auto e = dati_rallentamenti(d, s.nome_linea, s.nome_treno); !e.ok) return e;
  return dati_scheda(d, s.nome_linea, s.nome_treno);
}

}  // namespace

int esegui(disco& d, finestra& f) {
  stato s{};
  s.nome_linea = linea_predefinita;
  s.nome_treno = treno_predefinito;
  s.trattieni_tracciato = false;
  f.mostra_attendere();

  if (auto e = scrivi_file(d, s); !e.ok) return riferisci_disco(e);
  const esito_compilazione esito = memorizza_percorso(s, d, 1);
  if (!esito.io.ok) return riferisci_disco(esito.io);
  if (esito.errore_fatale != 0) {
    // The box stays " Errore n. N"; its meaning goes to standard error.
    std::string riga = "compila_scenario: errore " + std::to_string(esito.errore_fatale);
    if (auto d = descrizione_errore(esito.errore_fatale); !d.empty()) riga += ": " + std::string(d);
    std::fprintf(stderr, "%s\n", riga.c_str());
    return errore(f, std::to_string(esito.errore_fatale));
  }
  if (s.codice_errore != 0) return riferisci_codice(s);
  return uscita_normale;
}

}  // namespace scenario
