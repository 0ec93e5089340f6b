// The track grid and the placement operations the parser calls for signals,
// slowdowns, speed-indicator boards and terrain spans. Each takes its source
// row as a struct and returns what it did (its code, the cells it gave an
// object); a code also goes into codice_errore, never reset here. An object
// that would touch a cell outside 0 .. ultima_cella is refused whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "compiler/errori.h"
#include "compiler/stato.h"

namespace scenario {

// Creates the grid for a route of `lunghezza` metres: ultima_cella =
// R((lunghezza + 7000) / 50), every cell zero; a second call creates it anew.
// False (nothing changed) when that index is below 1 (cell 1 carries the
// header) or the grid cannot be held.
bool crea_percorso(stato& s, int32_t lunghezza);

// One row of each placement, its fields named as the source gives them.
struct riga_montagna {
  int32_t inizio = 0, fine = 0, tipo = 0;
};
struct riga_rallentamento {
  int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
};
struct riga_segnale {
  int32_t posizione = 0, sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0,
          tempo = 0;
};
struct riga_indicatori {
  int32_t posizione = 0, vas = 0, vbs = 0, vcs = 0, strisces = 0, vad = 0, vbd = 0, vcd = 0,
          strisced = 0;
};

// What a placement did: the code it recorded (0: none), and the cells into
// which it wrote an object type, so no caller has to lay the row out again.
// A refused or conflicting placement lists the cells it wrote before stopping.
struct esito_piazzamento {
  int32_t codice = 0;
  // A board value that overflowed 16 bits: a run-time failure, which the
  // parser turns into its reading-failure code (the cell keeps type 6).
  bool traboccato = false;
  std::array<int32_t, 7> celle{};
  size_t quante = 0;

  std::span<const int32_t> oggetti() const { return {celle.data(), quante}; }
};

// Each operation also records a non-zero code in codice_errore (the register
// the compiled state keeps); it never clears it.
// A span whose last cell falls below its first writes no cell (and so needs no
// grid) but is still stored and counted for the 150 m rule.
esito_piazzamento memo_montagna(stato& s, const riga_montagna& r);
esito_piazzamento memo_rallentamento(stato& s, const riga_rallentamento& r);
esito_piazzamento memo_segnale(stato& s, const riga_segnale& r);
esito_piazzamento memo_indicatori_v_max(stato& s, const riga_indicatori& r);

// The smaller of two numbers, x on a tie.
inline int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

}  // namespace scenario
