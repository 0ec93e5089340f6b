#include "compiler/errori.h"

namespace scenario {

std::string_view descrizione_errore(int32_t codice) {
  for (const significato_errore& e : elenco_errori) {
    if (e.numero == codice) return e.testo;
  }
  return {};
}

}  // namespace scenario
