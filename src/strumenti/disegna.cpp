#include "strumenti/disegna.h"

#include <optional>
#include <vector>

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
  if (esito_io e = d.leggi(nome, dati); !e.ok) {
    err << "compila_scenario: " << e.file << ": " << e.motivo << "\n";
    return esito_strumento::guasto_disco;
  }
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

esito_strumento disegna(disco& ingresso, disco& uscita, const std::string& nome_linea,
                        const std::string& nome_treno, const std::string& prefisso_ingresso,
                        std::ostream& err) {
  const nomi_file nomi{nome_linea, nome_treno};
  scenario_compilato s;
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
  const elementi_linea e = elementi_di(s);
  const std::string pianta =
      disegno_pianta(s, e, nome_linea + " (" + nome_treno + "): pianta del tracciato");
  const std::string profilo =
      disegno_profilo(e, nome_linea + " (" + nome_treno + "): profilo della linea");
  const std::vector<file_nuovo> disegni = {
      {nomi.pianta(), [&pianta](const scrivi_pezzo& scrivi) { return scrivi(pianta); }},
      {nomi.profilo(), [&profilo](const scrivi_pezzo& scrivi) { return scrivi(profilo); }}};
  if (esito_io e2 = uscita.sostituisci_insieme(disegni); !e2.ok) {
    err << "compila_scenario: " << e2.file << ": " << e2.motivo << "\n";
    return esito_strumento::guasto_disco;
  }
  return esito_strumento::fatto;
}

}  // namespace scenario
