// How an authors' tool ended. The driver turns each outcome into the
// program's exit status; the tools themselves never exit.
#pragma once

namespace scenario {

enum class esito_strumento {
  fatto,                // the work is done
  errore_compilazione,  // the sources do not compile: nothing was written
  guasto_disco,         // a file could not be read or written
  file_malformato,      // a compiled file breaks its layout
  file_esistenti,       // export would replace sources already there
};

}  // namespace scenario
