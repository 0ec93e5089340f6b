#include "compiler/tabella.h"

namespace scenario {

void tracciato::crea(int32_t fine) {
  for (int c = 0; c < 2; ++c) {
    valori_[c].assign(static_cast<size_t>(fine) + 1, 0.0);
    tipi_[c].assign(static_cast<size_t>(fine) + 1, tipo_valore::vuoto);
  }
}

void tracciato::libera() {
  for (int c = 0; c < 2; ++c) {
    valori_[c] = {};
    tipi_[c] = {};
  }
}

}  // namespace scenario
