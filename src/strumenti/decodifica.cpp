#include "strumenti/decodifica.h"

#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "sources/parole_chiave.h"

namespace scenario {

namespace {

bool finisce_con(std::string_view s, std::string_view coda) {
  return s.size() >= coda.size() && s.substr(s.size() - coda.size()) == coda;
}

}  // namespace

std::optional<tipo_file> tipo_da_nome(std::string_view nome) {
  const std::string n = minuscolo(nome);
  if (finisce_con(n, coda_linea_compilata)) return tipo_file::piano;
  if (finisce_con(n, coda_treno_compilato)) return tipo_file::tabella;
  if (finisce_con(n, coda_griglia_compilata)) return tipo_file::griglia;
  return std::nullopt;
}

std::string descrivi_difetto(const std::string& nome, tipo_file tipo, const difetto& d) {
  const char* cosa = tipo == tipo_file::piano     ? "piano"
                     : tipo == tipo_file::tabella ? "tabella"
                                                  : "griglia";
  return nome_stampabile(nome) + ": file non valido (" + cosa + ") all'offset " +
         std::to_string(d.offset) + ": " + d.messaggio;
}

uint64_t byte_massimi(tipo_file tipo) {
  switch (tipo) {
    case tipo_file::piano:
      return byte_massimi_piano();
    case tipo_file::tabella:
      return byte_massimi_tabella();
    case tipo_file::griglia:
      break;
  }
  return byte_massimi_griglia();
}

std::optional<esito_strumento> leggi_compilato(disco& d, const std::string& nome, tipo_file tipo,
                                               const std::string& mostrato, std::string& dati,
                                               std::ostream& err) {
  const esito_io e = d.leggi_entro(nome, dati, byte_massimi(tipo));
  if (e.ok) return std::nullopt;
  if (e.dimensione_rifiutata) {
    err << "compila_scenario: "
        << descrivi_difetto(mostrato, tipo,
                            troppo_grande(*e.dimensione_rifiutata, byte_massimi(tipo)))
        << "\n";
    return esito_strumento::file_malformato;
  }
  err << riga_guasto(e) << "\n";
  return esito_strumento::guasto_disco;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "plan") return tipo_file::piano;
  if (parola == "table") return tipo_file::tabella;
  if (parola == "grid") return tipo_file::griglia;
  return std::nullopt;
}

}  // namespace scenario
