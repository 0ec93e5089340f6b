// The report of a compile, for an author. Each message is
// "FILE:LINE:COLUMN: errore N: meaning" (or "avviso: ..."), then the source line and
// a caret under the column; a fault with no row names its file only. A
// conflict of the finishing pass is reported at the row of its slowdown (or
// signal) with the position it recorded, and notes name the cells involved,
// what occupies them and the rows that placed it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "compiler/stato.h"

namespace scenario {

// `codice` is the number reported (the register's, or the fatal one of the
// compile step); `testi` holds the sources by name, to quote their lines;
// `prefisso` goes before every file name (the directory as the user wrote it).
// Every error met and, with `con_avvisi`, every warning, in source order.
std::string rapporto_compilazione(const stato& s, int32_t codice,
                                  const std::map<std::string, std::string>& testi,
                                  const std::string& prefisso, bool con_avvisi = true);

}  // namespace scenario
