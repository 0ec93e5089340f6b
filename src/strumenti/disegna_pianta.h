// The track plan seen from above as an SVG document: the metre-by-metre plan
// as one line, thinned to what the picture can show, with the tunnels drawn
// over it, the stations named, the signals marked, the plan's own axes in
// kilometres from the route start (no north: the plan has none) and a scale
// bar. A plan with no usable point gives a picture that says so.
#pragma once

#include <string>
#include <vector>

#include "strumenti/elementi.h"
#include "strumenti/svg.h"

namespace scenario {

std::string disegno_pianta(const scenario_compilato& s, const elementi_linea& e,
                           const std::string& titolo);

// The points to keep so that no dropped point lies farther than `tolleranza`
// from the line kept (Douglas-Peucker, without recursion); the first and the
// last are always kept. At most `massimo` points go into the search, evenly
// picked, so any input is thinned in bounded time.
std::vector<punto_svg> sfoltisci(const std::vector<punto_svg>& punti, double tolleranza,
                                 size_t massimo = 20000);

}  // namespace scenario
