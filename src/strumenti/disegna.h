// draw: two SVG pictures of a compiled scenario, read from its three compiled
// files: the track plan seen from above (LINEA_TRENO_pianta.svg) and the line
// profile along the route (LINEA_TRENO_profilo.svg), written together.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "strumenti/elementi.h"
#include "strumenti/esito.h"

namespace scenario {

// Reads and decodes the three compiled files from `ingresso` into `s`; a
// file missing, malformed or holding an absurd plan is reported on `err`
// (its name after `prefisso_ingresso`) and its outcome returned.
std::optional<esito_strumento> carica_compilati(disco& ingresso, const nomi_file& nomi,
                                                const std::string& prefisso_ingresso,
                                                scenario_compilato& s, std::ostream& err);

// The two pictures of a decoded scenario, as draw writes them.
struct disegni_scenario {
  std::string pianta;
  std::string profilo;
};
disegni_scenario disegni_di(const scenario_compilato& s, const elementi_linea& e,
                            const nomi_file& nomi);

// `prefisso_ingresso` goes before the compiled files' names in the messages.
esito_strumento disegna(disco& ingresso, disco& uscita, const std::string& nome_linea,
                        const std::string& nome_treno, const std::string& prefisso_ingresso,
                        std::ostream& err);

}  // namespace scenario
