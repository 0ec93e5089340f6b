// Replays the compile target's corpus (tests/fuzz/corpus) through its checks.
#include "controllo_compilazione.h"
#include "riproduzione.h"

int main(int argc, char** argv) {
  return scenario::riproduci(argc, argv, "riproduci_corpus", SCENARIO_CORPUS,
                             scenario::controlla_compilazione);
}
