#include "driver/errore.h"

#include "driver/esecuzione.h"

namespace scenario {

std::string testo_errore(std::string_view a) {
  return std::string(prefisso_errore) + std::string(a);
}

int errore(finestra& f, std::string_view a) {
  f.mostra_errore(testo_errore(a));
  return uscita_errore;
}

}  // namespace scenario
