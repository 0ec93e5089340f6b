// Entry of compila_scenario: no arguments, one run of the built-in scenario in
// the directory that holds the program. Anything the platform throws ends the
// run with one line on standard error and status 2, never with a crash.
#include <cstdio>
#include <exception>

#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "driver/finestra.h"

namespace {

int fallimento(const char* motivo) {
  std::fprintf(stderr, "compila_scenario: %s\n", motivo);
  return scenario::uscita_disco;
}

int avvia() {
  std::filesystem::path cartella;
  if (auto e = scenario::cartella_programma(cartella); !e.ok) {
    std::fprintf(stderr, "compila_scenario: %s: %s\n", e.file.c_str(), e.motivo.c_str());
    return scenario::uscita_disco;
  }
  auto finestra = scenario::crea_finestra();
  scenario::disco_reale disco(cartella);
  return scenario::esegui(disco, *finestra);
}

}  // namespace

int main() {
  try {
    return avvia();
  } catch (const std::exception& e) {
    return fallimento(e.what());
  } catch (...) {
    return fallimento("errore imprevisto");
  }
}
