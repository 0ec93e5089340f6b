#include "compiler/codici.h"

#include <algorithm>
#include <array>
#include <limits>

#include "sources/parole_chiave.h"

namespace scenario {

namespace {

int32_t codice_carattere(char c) { return static_cast<unsigned char>(c); }

// A kilometric origin moves as a whole: position, value, flag.
struct origine {
  int32_t posizione = 0;
  int32_t valore = 0;
  int32_t segno = 0;
};

origine leggi(const voce_scenario& r) { return {r.inizio, r.fine, r.posizione}; }

void scrivi(voce_scenario& r, const origine& o) {
  r.inizio = o.posizione;
  r.fine = o.valore;
  r.posizione = o.segno;
}

// e[0..2] are rows 81..83 as they stand; the result is the new rows 81..83.
std::array<origine, 3> ordinate(const std::array<origine, 3>& e, int64_t somma) {
  if (somma != 0) {
    // Descending position; among equal positions the entry from the higher
    // row comes first, which a stable sort of the rows taken upward from 83
    // gives for the lower pair and for a shared largest position alike.
    std::array<origine, 3> o{e[2], e[1], e[0]};
    std::stable_sort(o.begin(), o.end(),
                     [](const origine& a, const origine& b) { return a.posizione > b.posizione; });
    return o;
  }
  // Every origin at the route start: the first positive value leads.
  if (e[2].valore > 0) return {e[2], e[1], e[0]};
  if (e[1].valore > 0) return {e[1], e[0], e[2]};
  if (e[0].valore > 0) return e;
  return {};
}

}  // namespace

std::string chiave_codici(const tabella& t) {
  // Identifiers are single-byte text: only the ASCII capitals are lowered.
  return minuscolo(t[riga_servizio].nome + t[riga_linea].nome) + std::string(riempitivo_codici);
}

int32_t codice_gara_og(const tabella& t) {
  const std::string chiave = chiave_codici(t);
  int32_t somma = 0;
  for (int i = 0; i < caratteri_codice; ++i)
    somma += codice_carattere(chiave[static_cast<size_t>(i)]);
  return somma;
}

int32_t codice_gara_st(const tabella& t) {
  const std::string chiave = chiave_codici(t);
  int32_t somma = 0;
  for (int i = 0; i < caratteri_codice; ++i) {
    somma += codice_carattere(chiave[static_cast<size_t>(i)]) * (i + 1);
  }
  return somma;
}

bool progressive_ordina(tabella& t) {
  constexpr size_t prima = riga_progressiva_tre;
  const std::array<origine, 3> entrate{leggi(t[prima]), leggi(t[prima + 1]), leggi(t[prima + 2])};
  // The positions are Longs: their sum overflows like any other sum of the
  // parser, a reading failure rather than a wider total.
  int64_t somma = 0;
  for (const origine& o : entrate) {
    somma += o.posizione;
    if (somma < std::numeric_limits<int32_t>::min() || somma > std::numeric_limits<int32_t>::max())
      return false;
  }
  const std::array<origine, 3> nuove = ordinate(entrate, somma);
  for (size_t i = 0; i < nuove.size(); ++i) scrivi(t[prima + i], nuove[i]);

  // A stretch that counts down has its reference value moved up by 100 m.
  for (size_t i = 0; i < nuove.size(); ++i) {
    voce_scenario& r = t[prima + i];
    if (r.posizione != 1) continue;
    if (r.fine > std::numeric_limits<int32_t>::max() - 100) return false;
    r.fine += 100;
  }
  return true;
}

}  // namespace scenario
