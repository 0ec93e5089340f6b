// The line profile along the route as an SVG document: above, the relative
// altitude built from the gradients, with the tunnels on it, named, and each
// gradient's value in per mille; below, the line speed limit and the
// slowdowns as steps; the stations named across both (cut to the room above,
// whole in a tooltip), the signals marked, and kilometres from the route
// start on the axis. No label covers another or a mark; the document's size
// is bounded by the picture, whatever the files hold.
#pragma once

#include <string>
#include <vector>

#include "strumenti/elementi.h"
#include "strumenti/svg.h"

namespace scenario {

std::string disegno_profilo(const elementi_linea& e, const std::string& titolo);

// Where disegno_profilo puts each of `metri` (positions along the route): its
// x, with the y of the altitude line there; and the top of the altitude panel
// and the bottom of the speed panel, between which a page draws its mark.
struct posizioni_profilo_linea {
  std::vector<punto_svg> punti;
  double alto = 0;
  double basso = 0;
};
posizioni_profilo_linea posizioni_profilo(const elementi_linea& e,
                                          const std::vector<double>& metri);

}  // namespace scenario
