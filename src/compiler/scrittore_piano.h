// The plan file written as its points are computed, never held whole: column
// 0 from offset 0 and column 1 from the size column 0 is expected to take,
// each through its own bounded buffer into one draft. When the points given
// turn out other than expected (a compile abandoned half way leaves the rest
// empty, a curve to the very end fills the last two), column 1 is moved to its
// true offset, through a bounded buffer too: the bytes are always those of the
// whole plan's column order.
#pragma once

#include <cstdint>

#include "compiler/codifica.h"
#include "compiler/record.h"
#include "compiler/tabella.h"
#include "sources/disco.h"

namespace scenario {

struct valore_piano {
  tipo_valore tipo = tipo_valore::vuoto;
  double valore = 0;
};

// The column size of the compiler's own plan of points 0 .. fine: two
// integers, a double for every point up to fine - 2, the last two empty.
uint64_t colonna_prevista(int32_t fine);

class scrittore_piano {
 public:
  // Points 0 .. fine; `colonna0` is the expected size of column 0.
  scrittore_piano(bozza& b, int32_t fine, uint64_t colonna0,
                  size_t capienza = flusso::capienza_normale);

  // The next point; one past `fine` is refused (false).
  bool aggiungi(valore_piano x, valore_piano y) {
    if (punti_ > fine_) return false;
    const uint64_t dopo = colonne_[0].posizione() + byte_valore(x.tipo);
    // Column 0 would run into column 1: the rest of column 0 at its smallest.
    if (dopo > inizio1_) sposta_colonna1(dopo + 2 * static_cast<uint64_t>(fine_ - punti_));
    scrivi_valore(colonne_[0], x.tipo, x.valore);
    scrivi_valore(colonne_[1], y.tipo, y.valore);
    ++punti_;
    return true;
  }
  // The points not given are empty; column 1 in its place, the file cut to its
  // end. False when the draft failed (its esito says why).
  bool chiudi();

 private:
  void sposta_colonna1(uint64_t nuovo);

  bozza& bozza_;
  int32_t fine_;
  int32_t punti_ = 0;
  uint64_t inizio1_;
  flusso colonne_[2];
  size_t capienza_;
};

// A whole plan held in memory, through the same writer (sizes computed first,
// so nothing moves).
bool scrivi_tracciato(const tracciato& t, bozza& b);

}  // namespace scenario
