// The track grid and the placement operations the parser calls for signals,
// slowdowns, speed-indicator boards and terrain spans. A conflict is reported
// in codice_errore (never reset here); an object that would touch a cell
// outside 0 .. ultima_cella is refused whole with fuori_griglia.
#pragma once

#include <cstdint>

#include "compiler/stato.h"

namespace scenario {

// Error numbers of the placement operations.
inline constexpr int32_t errore_segnale_occupato = 16;
inline constexpr int32_t errore_avviso_occupato = 17;
inline constexpr int32_t errore_inizio_occupato = 18;
inline constexpr int32_t errore_fine_occupato = 19;
inline constexpr int32_t errore_approccio_occupato = 20;
inline constexpr int32_t errore_indicatore_occupato = 21;
// Our own numbers for what the grid cannot hold.
inline constexpr int32_t errore_fuori_griglia = 26;    // a cell outside 0 .. ultima_cella
inline constexpr int32_t errore_troppe_montagne = 27;  // an 81st terrain span

// Creates the grid for a route of `lunghezza` metres: ultima_cella =
// R((lunghezza + 7000) / 50), every cell zero; a second call creates it anew.
// False (nothing changed) when that index is below 1 (cell 1 carries the
// header) or the grid cannot be held.
bool crea_percorso(stato& s, int32_t lunghezza);

// A span whose last cell falls below its first writes no cell (and so needs no
// grid) but is still stored and counted for the 150 m rule.
void memo_montagna(stato& s, int32_t inizio, int32_t fine, int32_t tipo);
void memo_rallentamento(stato& s, int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                        int32_t d_v);
void memo_segnale(stato& s, int32_t posizione, int32_t sx, int32_t s1, int32_t s2, int32_t s3,
                  int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3, int32_t tempo);
// False on the 16-bit overflow of a board value: a run-time failure that the
// parser turns into its reading-failure code (the cell keeps type 6).
bool memo_indicatori_v_max(stato& s, int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                           int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced);

// The smaller of two numbers, x on a tie.
inline int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

}  // namespace scenario
