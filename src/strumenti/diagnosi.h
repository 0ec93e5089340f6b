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
#include <vector>

#include "compiler/stato.h"

namespace scenario {

// One message of the report: its place (`file` after the prefix, empty for
// the program's own; `riga` 0 for the whole file), its text ("errore N: ...",
// "avviso: ...", "nota: ..."), and the quoted line with its caret, when the
// message quotes one.
struct messaggio_diagnosi {
  std::string file;
  int riga = 0;
  int colonna = 0;
  std::string testo;
  std::string citazione;
};

// "FILE:LINE:COLUMN", "FILE", or "compila_scenario" for the program's own.
std::string luogo_messaggio(const messaggio_diagnosi& m);

// The messages of rapporto_compilazione, one by one, for a page that lists them.
std::vector<messaggio_diagnosi> messaggi_compilazione(
    const stato& s, int32_t codice, const std::map<std::string, std::string>& testi,
    const std::string& prefisso, bool con_avvisi = true);

// `codice` is the number reported (the register's, or the fatal one of the
// compile step); `testi` holds the sources by name, to quote their lines;
// `prefisso` goes before every file name (the directory as the user wrote it).
// Every error met and, with `con_avvisi`, every warning, in source order.
std::string rapporto_compilazione(const stato& s, int32_t codice,
                                  const std::map<std::string, std::string>& testi,
                                  const std::string& prefisso, bool con_avvisi = true);

}  // namespace scenario
