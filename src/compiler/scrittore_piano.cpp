#include "compiler/scrittore_piano.h"

#include <algorithm>
#include <vector>

namespace scenario {

uint64_t colonna_prevista(int32_t fine) {
  if (fine < 0) return 0;
  const int64_t interi = std::min<int64_t>(fine, 1) + 1;
  const int64_t doppi = std::max<int64_t>(0, int64_t{fine} - 3);
  const int64_t vuoti = int64_t{fine} + 1 - interi - doppi;
  return static_cast<uint64_t>(interi) * byte_valore(tipo_valore::intero) +
         static_cast<uint64_t>(doppi) * byte_valore(tipo_valore::doppio) +
         static_cast<uint64_t>(vuoti) * byte_valore(tipo_valore::vuoto);
}

scrittore_piano::scrittore_piano(bozza& b, int32_t fine, uint64_t colonna0, size_t capienza)
    : bozza_(b),
      fine_(fine),
      inizio1_(colonna0),
      colonne_{flusso(b, 0, capienza), flusso(b, colonna0, capienza)},
      capienza_(capienza) {}

// Column 1 so far lies at [inizio1_, inizio1_ + n) of the draft (its buffer
// aside): copied piece by piece to `nuovo`, from the end when moving up, so no
// piece is overwritten before it is read.
void scrittore_piano::sposta_colonna1(uint64_t nuovo) {
  const uint64_t n = colonne_[1].prossimo() - inizio1_;
  std::vector<char> pezzo(capienza_);
  for (uint64_t fatti = 0; fatti < n;) {
    const uint64_t k = std::min<uint64_t>(pezzo.size(), n - fatti);
    const uint64_t da = nuovo > inizio1_ ? n - fatti - k : fatti;
    std::span<char> p(pezzo.data(), k);
    if (!bozza_.leggi(inizio1_ + da, p) || !bozza_.scrivi(nuovo + da, {p.data(), p.size()})) break;
    fatti += k;
  }
  inizio1_ = nuovo;
  colonne_[1].riposiziona(nuovo + n);
}

bool scrittore_piano::chiudi() {
  const uint64_t restano = static_cast<uint64_t>(std::max(0, fine_ + 1 - punti_));
  const uint64_t fine0 = colonne_[0].posizione() + 2 * restano;
  if (fine0 != inizio1_) sposta_colonna1(fine0);
  for (uint64_t i = 0; i < restano; ++i) {
    for (flusso& c : colonne_) scrivi_valore(c, tipo_valore::vuoto, 0);
  }
  punti_ = fine_ + 1;
  const uint64_t fine_file = colonne_[1].posizione();
  const bool ok0 = colonne_[0].svuota();
  const bool ok1 = colonne_[1].svuota();
  return ok0 && ok1 && bozza_.tronca(fine_file) && bozza_.esito().ok;
}

bool scrivi_tracciato(const tracciato& t, bozza& b) {
  if (!t.allocato()) return b.tronca(0) && b.esito().ok;
  uint64_t colonna0 = 0;
  for (int32_t m = 0; m <= t.fine(); ++m) colonna0 += byte_valore(t.tipo(m, 0));
  scrittore_piano s(b, t.fine(), colonna0);
  for (int32_t m = 0; m <= t.fine(); ++m) {
    s.aggiungi({t.tipo(m, 0), t.valore(m, 0)}, {t.tipo(m, 1), t.valore(m, 1)});
  }
  return s.chiudi();
}

}  // namespace scenario
