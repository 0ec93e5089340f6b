// The built-in scenario for the tools' tests: its two sources as the default
// run writes them, and its three compiled files as the default run's compile
// step writes them, all in memory.
#pragma once

#include "compiler/scenario_predefinito_prova.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"

namespace scenario::prova {

inline nomi_file nomi_predefiniti() { return nomi_file::predefiniti(); }

// The three compiled files of the built-in scenario, by name.
inline disco_memoria compilati_predefiniti() { return compila_predefinito().d; }

}  // namespace scenario::prova
