// The built-in train-run source, 70 literal lines, and its writer.
#pragma once

#include <string_view>

#include "sources/disco.h"
#include "sources/scrittore_testo.h"

namespace scenario {

tabella_righe righe_treno();
esito_io dati_treno(disco& d, std::string_view nome_linea, std::string_view nome_treno);

}  // namespace scenario
