// Everything an author placed along the route, read back from the compiled
// files, one entry an object, for the page's table and its "what lies here":
// the stations and kilometric origins (table rows), the signals, slowdown
// points, speed-indicator boards, indicator signs, cab-code points (grid
// cells), the tunnels, and every change of gradient, line speed limit and
// adhesion (the profiles). Values are in the author's units (m, km/h, per
// mille), written in UTF-8; names stay the compiled files' Windows-1252 bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "strumenti/elementi.h"

namespace scenario {

struct oggetto_linea {
  double metri = 0;            // where it stands, or where a stretch begins
  std::optional<double> fino;  // where a stretch (tunnel, slowdown) ends
  std::string tipo;            // "stazione", "segnale", ...
  std::string valori;          // UTF-8
  std::string nome;            // Windows-1252, empty when it has none
};

// In route order (by position, then as met). Only what lies within
// 0 .. e.lunghezza; a malformed but well-laid-out file cannot make it fail.
std::vector<oggetto_linea> oggetti_di(const scenario_compilato& s, const elementi_linea& e);

// The profiles as steps, one a run of equal values: gradient (per mille) and
// adhesion from the cells (the speed limit is elementi_linea::limiti).
std::vector<gradino> pendenze_di(const scenario_compilato& s, double lunghezza);
std::vector<gradino> aderenze_di(const scenario_compilato& s, double lunghezza);

// Whole metres as "km 12.345" (negative and huge values as they stand).
std::string km_testo(double metri);

}  // namespace scenario
