#include "compiler/tabella.h"

namespace scenario {

void tracciato::crea(int32_t fine, bool trattieni) {
  libera();
  if (trattieni) {
    for (int c = 0; c < 2; ++c) {
      valori_[c].assign(static_cast<size_t>(fine) + 1, 0.0);
      tipi_[c].assign(static_cast<size_t>(fine) + 1, tipo_valore::vuoto);
    }
  }
  fine_ = fine;
}

void tracciato::libera() {
  for (int c = 0; c < 2; ++c) {
    valori_[c] = {};
    tipi_[c] = {};
  }
  fine_ = -1;
}

}  // namespace scenario
