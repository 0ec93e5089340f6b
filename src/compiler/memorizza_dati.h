// The source parser: reads the line source and then the train-run source from
// the disk, builds the grid, the plan and the scenario table, places every
// object, and deletes each source once it has read it. Faults go to
// codice_errore; only a failure of the disk itself is returned.
#pragma once

#include "compiler/stato.h"
#include "sources/disco.h"

namespace scenario {

esito_io memorizza_dati(stato& s, disco& d);

}  // namespace scenario
