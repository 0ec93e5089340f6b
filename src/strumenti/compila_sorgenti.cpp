#include "strumenti/compila_sorgenti.h"

#include <new>
#include <optional>
#include <sstream>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "strumenti/diagnosi.h"
#include "strumenti/disco_raccolta.h"
#include "strumenti/disegna.h"
#include "strumenti/vista.h"

namespace scenario {

namespace {

esito_strumento guasto(const esito_io& e, std::ostream& err) {
  err << riga_guasto(e) << "\n";
  return esito_strumento::guasto_disco;
}

// A file of the output made from text held in memory.
file_nuovo da_testo(const std::string& nome, const std::string& testo) {
  return {nome, [&testo](const scrivi_pezzo& scrivi) { return scrivi(testo); }};
}

}  // namespace

esito_strumento compila_sorgenti(disco& sorgenti, disco& uscita, const std::string& nome_linea,
                                 const std::string& nome_treno,
                                 const std::string& prefisso_sorgenti, std::ostream& err,
                                 trattamento_avvisi avvisi, prodotti_compilazione prodotti) {
  // The drawings and the page are made from the compiled files: then these
  // are compiled in memory, and put on the output disk from there.
  const bool in_memoria = prodotti.vista || prodotti.disegni;
  disco_memoria compilati;
  disco_raccolta raccolta(sorgenti, in_memoria ? compilati : uscita);
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
  // The author hears that memory ran out, not that a row is wrong; nothing
  // is written, as after any failed compile.
  if (s.diagnostica.memoria_esaurita) throw std::bad_alloc();

  const int32_t codice = esito.errore_fatale != 0 ? esito.errore_fatale : s.codice_errore;
  const bool con_avvisi = avvisi != trattamento_avvisi::silenzia;
  const bool avvisi_fatali = avvisi == trattamento_avvisi::errori && !s.diagnostica.avvisi.empty();
  const bool pulita = codice == 0 && !avvisi_fatali;
  if (codice != 0 || con_avvisi) {
    err << rapporto_compilazione(s, codice, raccolta.letti(), prefisso_sorgenti, con_avvisi);
  }
  if (!pulita) {
    if (codice == 0) err << "compila_scenario: avvisi trattati come errori\n";
    err << "compila_scenario: nessun file compilato scritto\n";
  }
  if (!in_memoria) {
    if (!pulita) return esito_strumento::errore_compilazione;
    if (esito_io e = raccolta.scrivi_su_uscita(); !e.ok) return guasto(e, err);
    return esito_strumento::fatto;
  }

  // Whatever compiled, in memory (nothing when the compile stopped short of
  // the compiled files): what the page shows, and what the drawings draw.
  if (esito_io e = raccolta.scrivi_su_uscita(); !e.ok) return guasto(e, err);
  std::optional<scenario_compilato> sc;
  if (compilati.esiste(nomi.linea_compilata()) && compilati.esiste(nomi.treno_compilato()) &&
      compilati.esiste(nomi.griglia_compilata())) {
    sc.emplace();
    std::ostringstream scarto;  // the compiler's own images always decode
    if (carica_compilati(compilati, nomi, prefisso_sorgenti, *sc, scarto)) sc.reset();
  }
  std::vector<file_nuovo> file;
  std::optional<disegni_scenario> disegni;
  if (pulita) {
    for (const auto& [nome, testo] : compilati.file) file.push_back(da_testo(nome, testo));
    if (prodotti.disegni && sc) {
      disegni = disegni_di(*sc, elementi_di(*sc), nomi);
      file.push_back(da_testo(nomi.pianta(), disegni->pianta));
      file.push_back(da_testo(nomi.profilo(), disegni->profilo));
    }
  }
  std::string pagina;
  if (prodotti.vista) {
    compilazione_vista c;
    c.messaggi = messaggi_compilazione(s, codice, raccolta.letti(), prefisso_sorgenti, con_avvisi);
    c.scritti = pulita;
    c.fatale = !sc;
    pagina = pagina_vista(nomi, sc ? &*sc : nullptr, &c);
    file.push_back(da_testo(nomi.vista(), pagina));
  }
  if (esito_io e = uscita.sostituisci_insieme(file); !e.ok) return guasto(e, err);
  return pulita ? esito_strumento::fatto : esito_strumento::errore_compilazione;
}

}  // namespace scenario
