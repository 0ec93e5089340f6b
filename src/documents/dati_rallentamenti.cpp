// The slow-order form of train 31457: the five temporary speed restrictions of
// the route, each with the stations around it, the kilometre post passed last
// before it, its speed, length and prescription, and the legend below.
// Every line is stored whole, spaces included: nothing is formatted at run time.
#include "documents/dati_rallentamenti.h"

#include <string>

#include "sources/nomi_file.h"

namespace scenario {

namespace {

// The posts follow the card's kilometric reckoning: rising up to the border,
// falling beyond it, so the post passed last before a restriction is the lower
// whole kilometre on the first stretch and the higher one after it.
constexpr std::string_view righe[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  Brossalenta - Morla",
    "",
    "  Si ordina al macchinista del treno 31457 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
    " | 1 | Talmes - Ulmide            |     7      |    30    |    50   |   ---      |",
    " |   |                            |            |          |         |            |",
    " | 2 | Motta-Creste - S.Romolo A. |     81     |    40    |   400   |   ---      |",
    " |   |                            |            |          |         |            |",
    " | 3 | Savogno - Pontressa        |     50     |    15    |   100   |   A        |",
    " |   |                            |            |          |         |            |",
    " | 4 | Pontressa - Celero         |     39     |    30    |   400   |   ---      |",
    " |   |                            |            |          |         |            |",
    " | 5 | Campella - Morla           |     3      |    50    |   500   |   ---      |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamento N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
};

}  // namespace

tabella_righe righe_rallentamenti() {
  tabella_righe t;
  for (std::string_view r : righe) t.aggiungi(r);
  t.chiudi();
  return t;
}

esito_io dati_rallentamenti(disco& d, std::string_view nome_linea, std::string_view nome_treno) {
  return scrivi_testo(d,
                      nomi_file{std::string(nome_linea), std::string(nome_treno)}.rallentamenti(),
                      righe_rallentamenti());
}

}  // namespace scenario
