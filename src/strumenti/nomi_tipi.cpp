#include "strumenti/nomi_tipi.h"

#include "compiler/cella.h"

namespace scenario {

std::string_view nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case cella_libera:
      return "libera";
    case segnale:
      return "segnale";
    case fine_rallentamento:
      return "fine rallentamento";
    case inizio_rallentamento:
      return "inizio rallentamento";
    case avviso_rallentamento:
      return "avviso rallentamento";
    case approccio_rallentamento:
      return "approccio rallentamento";
    case indicatore_velocita:
      return "indicatore di velocita'";
    case punto_stazione:
      return "punto stazione";
    case marcatore_montagna:
      return "marcatore montagna";
    case punto_valore:
      return "punto valore";
    case punto_abbattimento:
      return "punto abbattimento";
    case cartello_indicatore:
      return "cartello indicatore";
    default:
      return "sconosciuto";
  }
}

}  // namespace scenario
