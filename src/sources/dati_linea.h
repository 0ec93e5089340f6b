// The built-in line source, 312 literal lines, and its writer.
#pragma once

#include <string_view>

#include "sources/disco.h"
#include "sources/scrittore_testo.h"

namespace scenario {

tabella_righe righe_linea();
esito_io dati_linea(disco& d, std::string_view nome_linea);

}  // namespace scenario
