// compile: an author's two sources, read from one disk, compiled by the same
// parser and passes as the default run, and the three compiled files put on
// another disk together (all written before any replaces its older self).
// The sources are never deleted. A compile that records an error, or stops
// on a fatal one, writes nothing: it reports where each fault lies instead.
// Warnings (what was read as something else) go to `err` as well. Asked for,
// the drawings (after a clean compile, put in place with the compiled files)
// and the page (always, with the compile's messages at its top) are made from
// the compile held in memory.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "sources/disco.h"
#include "strumenti/esito.h"

namespace scenario {

// The largest source compile reads: a source of the longest route (1000000 m)
// with a row every 50 m is far below it. A larger one is refused, unread, as
// a disk failure naming its size.
inline constexpr uint64_t byte_massimi_sorgente = uint64_t{64} << 20;

// What becomes of the warnings: shown (the compiled files are still
// written), silenced, or taken as errors (nothing written, status 3).
enum class trattamento_avvisi { mostra, silenzia, errori };

// What a compile writes beside the compiled files.
struct prodotti_compilazione {
  bool vista = false;    // LINEA_TRENO_vista.html, even when the compile fails
  bool disegni = false;  // the two SVGs of draw, with the compiled files only
};

// `prefisso_sorgenti` goes before the source names in the report (the
// directory as the user wrote it, with its separator, or nothing). A source
// missing, unreadable or empty is a disk failure, named with its reason.
esito_strumento compila_sorgenti(disco& sorgenti, disco& uscita, const std::string& nome_linea,
                                 const std::string& nome_treno,
                                 const std::string& prefisso_sorgenti, std::ostream& err,
                                 trattamento_avvisi avvisi = trattamento_avvisi::mostra,
                                 prodotti_compilazione prodotti = {});

}  // namespace scenario
