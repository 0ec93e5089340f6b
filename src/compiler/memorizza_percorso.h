// The compile step: reset the table, parse both sources, finish the grid, stamp
// the header constants and the scenario codes, and write the compiled files
// (the line file only when j is non-zero). Usable as a library: give it an
// in-memory disk holding the two sources.
#pragma once

#include <cstdint>

#include "compiler/stato.h"
#include "sources/disco.h"

namespace scenario {

struct esito_compilazione {
  // A number for the error box (1250, 1251, or the parser's number when no
  // grid could be built); 0 when the compiled files were written.
  int32_t errore_fatale = 0;
  // A failure of the disk itself (reading, deleting or writing a file).
  esito_io io;
};

esito_compilazione memorizza_percorso(stato& s, disco& d, int32_t j);

}  // namespace scenario
