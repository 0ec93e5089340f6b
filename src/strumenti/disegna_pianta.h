// The track plan seen from above as an SVG document: the metre-by-metre plan
// as one line, thinned to what the picture can show, with the tunnels drawn
// over it, a tick at every kilometre of the route, the stations, tunnels and
// signals named where their names find room (no label covers another or a
// mark), the plan's own axes in kilometres from the route start (no north:
// the plan has none) and a scale bar. A plan with no usable point gives a
// picture that says so. The document's size is bounded by the picture,
// whatever the files hold.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "compiler/uscita.h"
#include "strumenti/elementi.h"
#include "strumenti/svg.h"

namespace scenario {

// Plan coordinates beyond this many metres are absurd: a route is at most
// 1,000,000 m long and starts at the origin.
constexpr double coordinata_massima = 1e7;

// The first plan value that is not finite or lies beyond coordinata_massima,
// as a fault at its offset in the plan file; none when every value is sound.
std::optional<difetto> coordinata_assurda(const tracciato& t);

std::string disegno_pianta(const scenario_compilato& s, const elementi_linea& e,
                           const std::string& titolo);

// Where disegno_pianta puts each of `metri` (positions along the route): the
// plan's point nearest to it, in the picture's coordinates. Empty when the
// plan has no usable point (the picture then says so); a page marks a place
// on the drawing with it.
std::vector<punto_svg> posizioni_pianta(const scenario_compilato& s, const elementi_linea& e,
                                        const std::vector<double>& metri);

// The points to keep so that no dropped point lies farther than `tolleranza`
// from the line kept (Douglas-Peucker, without recursion); the first and the
// last are always kept. At most `massimo` points go into the search, evenly
// picked, so any input is thinned in bounded time.
std::vector<punto_svg> sfoltisci(const std::vector<punto_svg>& punti, double tolleranza,
                                 size_t massimo = 20000);
// The same, as the indices of the points kept.
std::vector<size_t> sfoltisci_indici(const std::vector<punto_svg>& punti, double tolleranza,
                                     size_t massimo = 20000);

}  // namespace scenario
