// The source parser: reads the line source and then the train-run source from
// the disk, builds the grid, the plan and the scenario table, places every
// object, and deletes each source once it has read it. Faults go to
// codice_errore; only a failure of the disk itself is returned.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "compiler/scrittore_piano.h"
#include "compiler/stato.h"
#include "sources/disco.h"

namespace scenario {

// The plan's file while the parser computes the plan: a draft of `nome` is
// opened on the disk when the plan is created, and every point goes to it.
struct uscita_piano {
  disco& d;
  std::string nome;
  std::unique_ptr<bozza> file;
  std::optional<scrittore_piano> scrittore;
};

// With `piano`, the plan's points are written to its file as they are computed.
esito_io memorizza_dati(stato& s, disco& d, uscita_piano* piano = nullptr);

}  // namespace scenario
