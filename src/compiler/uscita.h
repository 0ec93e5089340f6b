// The three compiled files as byte images: the plan (tagged values, column
// order), the scenario table (87 rows of 34 + n bytes) and the grid (15 bytes a
// cell). Little-endian and packed through explicit encoders, whatever the host.
#pragma once

#include <string>

#include "compiler/stato.h"

namespace scenario {

std::string immagine_linea(const tracciato& t);
std::string immagine_treno(const tabella& t);
std::string immagine_griglia(const std::vector<cella>& percorso);

}  // namespace scenario
