// Every file name of a run and of the tools, formed in this one place from
// the route and train identifiers by plain concatenation. Names only: the
// directory is the disk's business.
#pragma once

#include <string>
#include <string_view>

namespace scenario {

// The built-in scenario.
inline constexpr std::string_view linea_predefinita = "Brossalenta_Morla";
inline constexpr std::string_view treno_predefinito = "iR31457";

// The endings of the three compiled files, which also tell their kinds apart.
inline constexpr std::string_view coda_linea_compilata = "_linea.dat";
inline constexpr std::string_view coda_treno_compilato = ".sim";
inline constexpr std::string_view coda_griglia_compilata = ".dat";

struct nomi_file {
  std::string nome_linea;
  std::string nome_treno;

  static nomi_file predefiniti() {
    return {std::string(linea_predefinita), std::string(treno_predefinito)};
  }

  std::string sorgente_linea() const { return nome_linea + "_linea.txt"; }
  std::string sorgente_treno() const { return treno("-.txt"); }
  std::string note() const { return treno("_note.txt"); }
  std::string rallentamenti() const { return treno("_rallentamenti.txt"); }
  std::string scheda_treno() const { return treno("_scheda_treno.txt"); }
  std::string linea_compilata() const { return nome_linea + std::string(coda_linea_compilata); }
  std::string treno_compilato() const { return treno(coda_treno_compilato); }
  std::string griglia_compilata() const { return treno(coda_griglia_compilata); }
  std::string pianta() const { return treno("_pianta.svg"); }
  std::string profilo() const { return treno("_profilo.svg"); }
  std::string vista() const { return treno("_vista.html"); }

 private:
  std::string treno(std::string_view coda) const {
    return nome_linea + "_" + nome_treno + std::string(coda);
  }
};

}  // namespace scenario
