// The outputs of a default run in the order the run replaces them, and the
// stand-in content of an earlier run's output, for the tests that interrupt
// a run (by a failing disk or by a kill) and then look at what is left.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cartella_prova.h"
#include "sources/nomi_file.h"

namespace scenario::prova {

inline std::vector<std::string> uscite_predefinite() {
  const nomi_file n = nomi_file::predefiniti();
  return {n.note(),
          n.rallentamenti(),
          n.scheda_treno(),
          n.linea_compilata(),
          n.treno_compilato(),
          n.griglia_compilata()};
}

// An earlier run's output, told apart from the new one by its content.
inline std::string precedente(const std::string& nome) {
  return "uscita precedente: " + nome + "\r\n";
}

inline void posa_precedenti(const std::filesystem::path& cartella) {
  for (const std::string& n : uscite_predefinite()) scrivi(cartella / n, precedente(n));
}

}  // namespace scenario::prova
