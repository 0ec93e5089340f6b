// Replays the readers' target's corpus (tests/fuzz/corpus_letture) through its
// checks.
#include "controllo_letture.h"
#include "riproduzione.h"

int main(int argc, char** argv) {
  return scenario::riproduci(argc, argv, "riproduci_letture", SCENARIO_CORPUS,
                             scenario::controlla_letture);
}
