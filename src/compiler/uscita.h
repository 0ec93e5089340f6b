// The three compiled files as byte images: the plan (tagged values, column
// order), the scenario table (87 rows of 34 + n bytes) and the grid (15 bytes a
// cell). Little-endian and packed through explicit encoders, whatever the host;
// each image is built in one buffer of its exact size. Layouts: docs/formati.md.
#pragma once

#include <string>
#include <vector>

#include "compiler/stato.h"
#include "sources/disco.h"

namespace scenario {

// Empty when the plan was never allocated.
std::string immagine_linea(const tracciato& t);
// The same bytes as immagine_linea, handed to `scrivi` in pieces of about 64 KiB.
bool produci_linea(const tracciato& t, const scrivi_pezzo& scrivi);
// A name is written as its bytes, unconverted; one longer than 65535 bytes
// (beyond what the 16-bit length can say) is cut to its first 65535.
std::string immagine_treno(const tabella& t);
std::string immagine_griglia(const std::vector<cella>& percorso);

}  // namespace scenario
