// The fixed order of work of one run: the two sources, the three documents,
// then the compile step with argument 1. Returns the process exit status:
// 0 done; 1 a fatal error shown through errore; 2 a failure of the disk;
// 3 the compile recorded an error in its register (outputs still written).
#pragma once

#include "driver/finestra.h"
#include "driver/stato_uscita.h"
#include "sources/disco.h"

namespace scenario {

int esegui(disco& d, finestra& f);

}  // namespace scenario
