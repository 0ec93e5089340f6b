#include "strumenti/esporta.h"

#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
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
      err << "compila_scenario: " << prefisso << nome << " esiste gia' (--force per sostituirlo)\n";
      esistenti = true;
    }
    if (esistenti) return esito_strumento::file_esistenti;
  }
  const nomi_file nomi = nomi_file::predefiniti();
  esito_io e = dati_linea(d, nomi.nome_linea);
  if (e.ok) e = dati_treno(d, nomi.nome_linea, nomi.nome_treno);
  if (e.ok) return esito_strumento::fatto;
  err << "compila_scenario: " << e.file << ": " << e.motivo << "\n";
  return esito_strumento::guasto_disco;
}

}  // namespace scenario
