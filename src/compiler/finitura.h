// The finishing pass: one walk over cells 1 .. ultima_cella - 2 that adds value
// points (type 12, 180) before signals near a slowdown's warning point, before
// each slowdown start, inside slow slowdowns and before the signal after their
// end. Conflicts are recorded (11, 12, 13) and the walk goes on.
#pragma once

#include "compiler/stato.h"

namespace scenario {

void finitura_percorso(stato& s);

}  // namespace scenario
