#include "strumenti/disegna.h"

#include <optional>
#include <vector>

#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "strumenti/decodifica.h"
#include "strumenti/disegna_pianta.h"
#include "strumenti/disegna_profilo.h"
#include "strumenti/elementi.h"

namespace scenario {

namespace {

// Reads and decodes one compiled file; a failure has been reported.
std::optional<esito_strumento> carica(disco& d, const std::string& nome, tipo_file tipo,
                                      const std::string& prefisso, scenario_compilato& s,
                                      std::ostream& err) {
  std::string dati;
  if (auto fallito = leggi_compilato(d, nome, tipo, prefisso + nome, dati, err)) return fallito;
  std::optional<difetto> difetto;
  switch (tipo) {
    case tipo_file::piano:
      difetto = decodifica_piano(dati, s.piano);
      break;
    case tipo_file::tabella:
      difetto = decodifica_tabella(dati, s.righe);
      break;
    case tipo_file::griglia:
      difetto = decodifica_griglia(dati, s.griglia);
      break;
  }
  if (!difetto) return std::nullopt;
  err << "compila_scenario: " << descrivi_difetto(prefisso + nome, tipo, *difetto) << "\n";
  return esito_strumento::file_malformato;
}

}  // namespace

std::optional<esito_strumento> carica_compilati(disco& ingresso, const nomi_file& nomi,
                                                const std::string& prefisso_ingresso,
                                                scenario_compilato& s, std::ostream& err) {
  const std::pair<std::string, tipo_file> file[] = {{nomi.linea_compilata(), tipo_file::piano},
                                                    {nomi.treno_compilato(), tipo_file::tabella},
                                                    {nomi.griglia_compilata(), tipo_file::griglia}};
  for (const auto& [nome, tipo] : file) {
    if (auto fallito = carica(ingresso, nome, tipo, prefisso_ingresso, s, err)) return *fallito;
  }
  // Well laid out but no plan a compile makes: nothing sensible to draw.
  if (const auto d = coordinata_assurda(s.piano)) {
    err << "compila_scenario: "
        << descrivi_difetto(prefisso_ingresso + nomi.linea_compilata(), tipo_file::piano, *d)
        << "\n";
    return esito_strumento::file_malformato;
  }
  return std::nullopt;
}

disegni_scenario disegni_di(const scenario_compilato& s, const elementi_linea& e,
                            const nomi_file& nomi) {
  const std::string nome = nomi.nome_linea + " (" + nomi.nome_treno + "): ";
  return {disegno_pianta(s, e, nome + "pianta del tracciato"),
          disegno_profilo(e, nome + "profilo della linea")};
}

esito_strumento disegna(disco& ingresso, disco& uscita, const std::string& nome_linea,
                        const std::string& nome_treno, const std::string& prefisso_ingresso,
                        std::ostream& err) {
  const nomi_file nomi{nome_linea, nome_treno};
  scenario_compilato s;
  if (auto fallito = carica_compilati(ingresso, nomi, prefisso_ingresso, s, err)) return *fallito;
  const disegni_scenario d = disegni_di(s, elementi_di(s), nomi);
  const std::vector<file_nuovo> disegni = {
      {nomi.pianta(), [&d](const scrivi_pezzo& scrivi) { return scrivi(d.pianta); }},
      {nomi.profilo(), [&d](const scrivi_pezzo& scrivi) { return scrivi(d.profilo); }}};
  if (esito_io e2 = uscita.sostituisci_insieme(disegni); !e2.ok) {
    err << riga_guasto(e2) << "\n";
    return esito_strumento::guasto_disco;
  }
  return esito_strumento::fatto;
}

}  // namespace scenario
