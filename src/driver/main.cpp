// Entry of compila_scenario: no arguments, one run of the built-in scenario in
// the directory that holds the program; with arguments, one of the authors'
// tools. Anything the platform throws ends the run with one line on standard
// error and status 2, never with a crash.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "driver/blocco_cartella.h"
#include "driver/comandi.h"
#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "driver/finestra.h"
#include "sources/nomi_file.h"

#ifdef _WIN32
#include "driver/errori_standard_win32.h"
#else
#include <csignal>
#endif

namespace {

int fallimento(const char* motivo) {
  std::fprintf(stderr, "compila_scenario: %s\n", motivo);
  return scenario::uscita_disco;
}

int fallimento_io(const scenario::esito_io& e) {
  std::fprintf(stderr, "compila_scenario: %s: %s\n", e.file.c_str(), e.motivo.c_str());
  return scenario::uscita_disco;
}

int avvia() {
  std::filesystem::path cartella;
  if (auto e = scenario::cartella_programma(cartella); !e.ok) return fallimento_io(e);
  auto finestra = scenario::crea_finestra();
  // From writing the sources to deleting them: another run in this folder
  // would read or delete them halfway.
  scenario::blocco_cartella blocco(cartella, std::cerr);
  if (!blocco.esito().ok) return fallimento_io(blocco.esito());
  const scenario::nomi_file n = scenario::nomi_file::predefiniti();
  scenario::togli_rimasugli(cartella, {n.sorgente_linea(), n.sorgente_treno(), n.note(),
                                       n.rallentamenti(), n.scheda_treno(), n.linea_compilata(),
                                       n.treno_compilato(), n.griglia_compilata()});
  scenario::disco_reale disco(cartella);
  return scenario::esegui(disco, *finestra);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Before anything can be written to standard error.
  scenario::errori_standard_win32 errori;
#else
  // Past a file-size limit (ulimit -f) a write fails with EFBIG and is
  // reported like any disk failure, temporaries removed, instead of the
  // signal killing the run silently halfway.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  try {
    if (argc > 1) {
      return scenario::esegui_comando(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr);
    }
    return avvia();
  } catch (const std::exception& e) {
    return fallimento(e.what());
  } catch (...) {
    return fallimento("errore imprevisto");
  }
}
