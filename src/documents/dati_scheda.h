// The train card: boxed header, then one row per station or speed change.
// 42 literal lines written through the shared text-file writer.
#pragma once

#include <string_view>

#include "sources/disco.h"
#include "sources/scrittore_testo.h"

namespace scenario {

tabella_righe righe_scheda();
esito_io dati_scheda(disco& d, std::string_view nome_linea, std::string_view nome_treno);

}  // namespace scenario
