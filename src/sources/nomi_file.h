// Every file name of a run, built from the route and train identifiers by plain
// concatenation. Names only: the directory is the disk's business.
#pragma once

#include <string>
#include <string_view>

namespace scenario {

struct nomi_file {
  std::string nome_linea;
  std::string nome_treno;

  std::string sorgente_linea() const { return nome_linea + "_linea.txt"; }
  std::string sorgente_treno() const { return treno("-.txt"); }
  std::string note() const { return treno("_note.txt"); }
  std::string rallentamenti() const { return treno("_rallentamenti.txt"); }
  std::string scheda_treno() const { return treno("_scheda_treno.txt"); }
  std::string linea_compilata() const { return nome_linea + "_linea.dat"; }
  std::string treno_compilato() const { return treno(".sim"); }
  std::string griglia_compilata() const { return treno(".dat"); }

 private:
  std::string treno(std::string_view coda) const {
    return nome_linea + "_" + nome_treno + std::string(coda);
  }
};

// The built-in scenario.
inline constexpr std::string_view linea_predefinita = "Brossalenta_Morla";
inline constexpr std::string_view treno_predefinito = "iR31457";

}  // namespace scenario
