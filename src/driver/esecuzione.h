// The fixed order of work of one run: the two sources, the three documents,
// then the compile step with argument 1. Returns the process exit status:
// 0 done; 1 a fatal error shown through errore; 2 a failure of the disk;
// 3 the compile recorded an error in its register (outputs still written).
#pragma once

#include "driver/finestra.h"
#include "sources/disco.h"

namespace scenario {

inline constexpr int uscita_normale = 0;
inline constexpr int uscita_errore = 1;
inline constexpr int uscita_disco = 2;
inline constexpr int uscita_codice_errore = 3;

int esegui(disco& d, finestra& f);

}  // namespace scenario
