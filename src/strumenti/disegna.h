// draw: two SVG pictures of a compiled scenario, read from its three compiled
// files: the track plan seen from above (LINEA_TRENO_pianta.svg) and the line
// profile along the route (LINEA_TRENO_profilo.svg), written together.
#pragma once

#include <ostream>
#include <string>

#include "sources/disco.h"
#include "strumenti/esito.h"

namespace scenario {

// `prefisso_ingresso` goes before the compiled files' names in the messages.
esito_strumento disegna(disco& ingresso, disco& uscita, const std::string& nome_linea,
                        const std::string& nome_treno, const std::string& prefisso_ingresso,
                        std::ostream& err);

}  // namespace scenario
