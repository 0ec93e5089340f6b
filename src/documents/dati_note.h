// The scenario notes for the driver, in Italian.
// 30 literal lines written through the shared text-file writer.
#pragma once

#include <string_view>

#include "sources/disco.h"
#include "sources/scrittore_testo.h"

namespace scenario {

tabella_righe righe_note();
esito_io dati_note(disco& d, std::string_view nome_linea, std::string_view nome_treno);

}  // namespace scenario
