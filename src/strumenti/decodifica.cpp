#include "strumenti/decodifica.h"

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
  return nome + ": file non valido (" + cosa + ") all'offset " + std::to_string(d.offset) + ": " +
         d.messaggio;
}

std::optional<tipo_file> tipo_da_parola(std::string_view parola) {
  if (parola == "plan") return tipo_file::piano;
  if (parola == "table") return tipo_file::tabella;
  if (parola == "grid") return tipo_file::griglia;
  return std::nullopt;
}

}  // namespace scenario
