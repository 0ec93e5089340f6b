// The measures of the track grid: 50 m a cell, 7000 m of spare route past
// the end, routes up to 1000000 m, the sizing rule
// ultima_cella = R((L + 7000) / 50), and the metres of a cell both ways.
// Every part of the program that turns metres into cells or back takes them
// from here.
#pragma once

#include <cstdint>

#include "compiler/arrotonda.h"

namespace scenario {

inline constexpr int32_t metri_cella = 50;
inline constexpr int32_t margine_griglia = 7000;  // spare metres past the route's end
// The longest route a source may state: a longer one is error 1.
inline constexpr int32_t lunghezza_massima_percorso = 1000000;

// The grid's upper index for a route of `lunghezza` metres; false when it
// does not fit 32 bits or gives fewer than two cells.
inline bool ultima_cella_per(int64_t lunghezza, int32_t& ultima) {
  int32_t u = 0;
  if (!arrotonda_lungo((static_cast<double>(lunghezza) + margine_griglia) / metri_cella, u) ||
      u < 1)
    return false;
  ultima = u;
  return true;
}

// The cell of a placed object at position p metres: R(p / 50 + 1).
// Always fits: |p / 50| is far below the 32-bit range.
inline int32_t cella_di(int32_t p) {
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(p) / metri_cella + 1.0));
}

// Where an object placed in cell c stands: the inverse of R(p / 50 + 1), to
// the cell's 50 m.
inline int64_t metri_oggetto(int64_t c) { return (c - 1) * metri_cella; }

// Where the profiles of cell c begin: they hold from c * 50 to c * 50 + 50.
inline int64_t metri_profilo(int64_t c) { return c * metri_cella; }

}  // namespace scenario
