#include "strumenti/compila_sorgenti.h"

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
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
                                 const std::string& prefisso_sorgenti, std::ostream& err) {
  disco_raccolta raccolta(sorgenti, uscita);
  stato s{};
  s.trattieni_tracciato = false;
  s.nome_linea = nome_linea;
  s.nome_treno = nome_treno;
  const esito_compilazione esito = memorizza_percorso(s, raccolta, 1);
  if (!esito.io.ok) return guasto(esito.io, err);

  const int32_t codice = esito.errore_fatale != 0 ? esito.errore_fatale : s.codice_errore;
  if (codice != 0) {
    err << rapporto_compilazione(s, codice, raccolta.letti(), prefisso_sorgenti);
    err << "compila_scenario: nessun file compilato scritto\n";
    return esito_strumento::errore_compilazione;
  }
  if (esito_io e = raccolta.scrivi_su_uscita(); !e.ok) return guasto(e, err);
  return esito_strumento::fatto;
}

}  // namespace scenario
