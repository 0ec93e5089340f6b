// The slow-order form listing the five temporary speed restrictions.
// 41 literal lines written through the shared text-file writer.
#pragma once

#include <string_view>

#include "sources/disco.h"
#include "sources/scrittore_testo.h"

namespace scenario {

tabella_righe righe_rallentamenti();
esito_io dati_rallentamenti(disco& d, std::string_view nome_linea, std::string_view nome_treno);

}  // namespace scenario
