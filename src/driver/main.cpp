// Entry of compila_scenario: no arguments, one run of the built-in scenario in
// the directory that holds the program.
#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "driver/finestra.h"

int main() {
  auto finestra = scenario::crea_finestra();
  scenario::disco_reale disco(scenario::cartella_programma());
  return scenario::esegui(disco, *finestra);
}
