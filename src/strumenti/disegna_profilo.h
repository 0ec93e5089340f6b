// The line profile along the route as an SVG document: above, the relative
// altitude built from the gradients, with the tunnels on it; below, the line
// speed limit and the slowdowns as steps; the stations named across both, the
// signals marked, and kilometres from the route start on the axis.
#pragma once

#include <string>

#include "strumenti/elementi.h"

namespace scenario {

std::string disegno_profilo(const elementi_linea& e, const std::string& titolo);

}  // namespace scenario
