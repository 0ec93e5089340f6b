// The line table and its writer: the text is composed in memory and handed to
// the disk in one whole-file replacement, so an older, longer file at the same
// name never leaves bytes behind.
#include "sources/scrittore_testo.h"

namespace scenario {

namespace {

constexpr std::string_view a_capo = "\r\n";

// The entries that are written: those before the first marker.
size_t righe_scritte(const tabella_righe& righe) {
  size_t n = 0;
  while (n < tabella_righe::capacita && righe[n] != fine_del_file) ++n;
  return n;
}

}  // namespace

void tabella_righe::aggiungi(std::string_view riga) {
  if (usate_ + 1 >= capacita) {
    traboccata_ = true;
    return;
  }
  voci_[usate_++] = riga;
}

void tabella_righe::chiudi() { voci_[usate_] = fine_del_file; }

std::string componi_testo(const tabella_righe& righe) {
  const size_t n = righe_scritte(righe);
  size_t dimensione = 0;
  for (size_t i = 0; i < n; ++i) dimensione += righe[i].size() + a_capo.size();
  std::string testo;
  testo.reserve(dimensione);
  for (size_t i = 0; i < n; ++i) {
    testo += righe[i];
    testo += a_capo;
  }
  return testo;
}

esito_io scrivi_testo(disco& d, const std::string& nome, const tabella_righe& righe) {
  return d.sostituisci(nome, componi_testo(righe));
}

}  // namespace scenario
