// Copies of the real program started as a user would: no arguments, no
// display, from another working directory, its standard error kept in a file.
// POSIX only.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cartella_prova.h"
#include "strumenti/processo_prova.h"

namespace scenario::prova {

// A fresh directory of its own under the system's temporary directory,
// removed with everything in it at the end: two test programs running the
// same test at once (two build trees) never share it.
class cartella_unica {
 public:
  cartella_unica() {
    std::string modello =
        (std::filesystem::temp_directory_path() / "compila_scenario_XXXXXX").string();
    if (mkdtemp(modello.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    percorso_ = modello;
  }
  ~cartella_unica() {
    std::error_code ec;
    std::filesystem::remove_all(percorso_, ec);
  }
  cartella_unica(const cartella_unica&) = delete;
  cartella_unica& operator=(const cartella_unica&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

// The default run as a user without a display starts it: no arguments, in the
// folder holding `errori`, which receives its standard error.
inline avvio avvio_predefinito(const std::filesystem::path& eseguibile,
                               const std::filesystem::path& errori) {
  return {.programma = eseguibile,
          .cartella = errori.parent_path(),
          .errori = errori,
          .ambiente = ambiente_senza_schermo()};
}

inline esito_processo esegui_programma(const std::filesystem::path& eseguibile,
                                       const std::filesystem::path& errori) {
  return esegui(avvio_predefinito(eseguibile, errori));
}

// The lines on standard error besides the console's "Attendere".
inline std::vector<std::string> messaggi_errore(const std::string& errori) {
  std::vector<std::string> r;
  std::istringstream in(errori);
  for (std::string riga; std::getline(in, riga);)
    if (riga != "Attendere") r.push_back(riga);
  return r;
}

// A copy of the real program in `cartella` (made when missing), runnable by
// its owner: the default run writes beside the program it runs as.
inline std::filesystem::path copia_programma(const std::filesystem::path& cartella) {
  std::filesystem::create_directories(cartella);
  const std::filesystem::path eseguibile = cartella / "compila_scenario";
  std::filesystem::copy_file(SCENARIO_PROGRAMMA, eseguibile);
  std::filesystem::permissions(eseguibile, std::filesystem::perms::owner_all);
  return eseguibile;
}

}  // namespace scenario::prova
