#include "strumenti/esporta.h"

#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"

namespace scenario {

std::vector<std::string> sorgenti_predefinite() {
  const nomi_file nomi = nomi_file::predefiniti();
  return {nomi.sorgente_linea(), nomi.sorgente_treno()};
}

esito_strumento esporta(disco& d, bool sostituisci_esistenti, const std::string& prefisso,
                        std::ostream& err) {
  if (!sostituisci_esistenti) {
    bool esistenti = false;
    for (const std::string& nome : sorgenti_predefinite()) {
      if (!d.esiste(nome)) continue;
      err << "compila_scenario: " << nome_stampabile(prefisso + nome)
          << " esiste gia' (--force per sostituirlo)\n";
      esistenti = true;
    }
    if (esistenti) return esito_strumento::file_esistenti;
  }
  // Both texts are made first and replace the older two as one set: an
  // author's line source is never replaced when the train-run source fails.
  const nomi_file nomi = nomi_file::predefiniti();
  disco_memoria testi;
  dati_linea(testi, nomi.nome_linea);
  dati_treno(testi, nomi.nome_linea, nomi.nome_treno);
  std::vector<file_nuovo> insieme;
  for (const std::string& nome : sorgenti_predefinite()) {
    const std::string& t = testi.file[nome];
    insieme.push_back({nome, [&t](const scrivi_pezzo& scrivi) { return scrivi(t); }});
  }
  const esito_io e = d.sostituisci_insieme(insieme);
  if (e.ok) return esito_strumento::fatto;
  err << riga_guasto(e) << "\n";
  return esito_strumento::guasto_disco;
}

}  // namespace scenario
