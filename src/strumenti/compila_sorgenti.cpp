#include "strumenti/compila_sorgenti.h"

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "sources/nomi_file.h"
#include "strumenti/diagnosi.h"
#include "strumenti/disco_raccolta.h"

namespace scenario {

namespace {

esito_strumento guasto(const esito_io& e, std::ostream& err) {
  err << "compila_scenario: " << e.file << ": " << e.motivo << "\n";
  return esito_strumento::guasto_disco;
}

}  // namespace

esito_strumento compila_sorgenti(disco& sorgenti, disco& uscita, const std::string& nome_linea,
                                 const std::string& nome_treno,
                                 const std::string& prefisso_sorgenti, std::ostream& err,
                                 trattamento_avvisi avvisi) {
  disco_raccolta raccolta(sorgenti, uscita);
  // A source missing, unreadable or empty is named as such, with the
  // system's reason, before the compile could blame a row for it.
  const nomi_file nomi{nome_linea, nome_treno};
  for (const std::string& nome : {nomi.sorgente_linea(), nomi.sorgente_treno()}) {
    std::string testo;
    if (esito_io e = raccolta.leggi(nome, testo); !e.ok) return guasto(e, err);
    if (testo.empty())
      return guasto(esito_io::fallito(prefisso_sorgenti + nome, "file vuoto"), err);
  }
  stato s{};
  s.trattieni_tracciato = false;
  s.nome_linea = nome_linea;
  s.nome_treno = nome_treno;
  const esito_compilazione esito = memorizza_percorso(s, raccolta, 1);
  if (!esito.io.ok) return guasto(esito.io, err);

  const int32_t codice = esito.errore_fatale != 0 ? esito.errore_fatale : s.codice_errore;
  const bool con_avvisi = avvisi != trattamento_avvisi::silenzia;
  const bool avvisi_fatali = avvisi == trattamento_avvisi::errori && !s.diagnostica.avvisi.empty();
  if (codice != 0 || con_avvisi) {
    err << rapporto_compilazione(s, codice, raccolta.letti(), prefisso_sorgenti, con_avvisi);
  }
  if (codice != 0 || avvisi_fatali) {
    if (codice == 0) err << "compila_scenario: avvisi trattati come errori\n";
    err << "compila_scenario: nessun file compilato scritto\n";
    return esito_strumento::errore_compilazione;
  }
  if (esito_io e = raccolta.scrivi_su_uscita(); !e.ok) return guasto(e, err);
  return esito_strumento::fatto;
}

}  // namespace scenario
