// inspect: a compiled file as its author wrote it (metres and km, km/h, per
// mille, fields by meaning, names as UTF-8), one line per cell, row or point,
// or as JSON keeping every stored value beside its conversion. Free cells and
// empty rows only with `tutto`; `da`/`a` keep one stretch. A file that breaks
// its layout is reported with its name and byte offset, and nothing is dumped.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"
#include "strumenti/decodifica.h"
#include "strumenti/esito.h"

namespace scenario {

struct opzioni_ispezione {
  bool json = false;
  bool tutto = false;
  std::optional<double> da;  // metres
  std::optional<double> a;   // metres
};

// The text dumps: a heading line, then "cella C a P m (km K): ...", "riga R
// (ruolo): ..." or "punto M (km K): x y".
void scrivi_griglia(std::ostream& out, const std::string& nome, const std::vector<cella>& celle,
                    const opzioni_ispezione& o);
void scrivi_tabella(std::ostream& out, const std::string& nome, const tabella& t,
                    const opzioni_ispezione& o);
void scrivi_piano(std::ostream& out, const std::string& nome, const tracciato& t,
                  const opzioni_ispezione& o);

// `nome` is the file as the user named it, for the heading and the messages.
esito_strumento ispeziona(std::string_view dati, tipo_file tipo, const std::string& nome,
                          const opzioni_ispezione& o, std::ostream& out, std::ostream& err);

}  // namespace scenario
