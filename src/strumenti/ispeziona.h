// inspect: a compiled file decoded into readable text, one line per grid
// cell, table row or plan point with every field named, or into JSON. A file
// that breaks its layout is reported with its name and the byte offset of the
// defect, and nothing is dumped.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"
#include "strumenti/decodifica.h"
#include "strumenti/esito.h"

namespace scenario {

// Text dumps: a heading line, then "cella N: campo=valore ...", "riga N ...",
// or "punto M: x y" with each value's tag. Names show their bytes, any
// outside printable ASCII as \xNN.
void scrivi_griglia(std::ostream& out, const std::string& nome, const std::vector<cella>& celle);
void scrivi_tabella(std::ostream& out, const std::string& nome, const tabella& t);
void scrivi_piano(std::ostream& out, const std::string& nome, const tracciato& t);

// The same as one JSON object; names are read as single-byte Latin-1 text.
void scrivi_griglia_json(std::ostream& out, const std::string& nome,
                         const std::vector<cella>& celle);
void scrivi_tabella_json(std::ostream& out, const std::string& nome, const tabella& t);
void scrivi_piano_json(std::ostream& out, const std::string& nome, const tracciato& t);

// `nome` is the file as the user named it, for the heading and the messages.
esito_strumento ispeziona(std::string_view dati, tipo_file tipo, const std::string& nome, bool json,
                          std::ostream& out, std::ostream& err);

}  // namespace scenario
