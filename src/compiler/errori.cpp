#include "compiler/errori.h"

namespace scenario {

std::string_view descrizione_errore(int32_t codice) {
  switch (codice) {
    case 1:
      return "lunghezza del percorso oltre 1000000 m";
    case 2:
      return "progressiva chilometrica non multipla di 50";
    case 3:
      return "inizio della ripetizione segnali non multiplo di 50";
    case 4:
      return "fine della ripetizione segnali non multipla di 50";
    case 5:
      return "ripetizione segnali senza 4 o 9 codici";
    case 6:
      return "cartello indicatore su una cella occupata";
    case 7:
      return "punto di abbattimento su una cella occupata";
    case 8:
      return "posizione della stazione non multipla di 50";
    case 9:
      return "lunghezza della stazione non multipla di 100";
    case 10:
      return "troppe stazioni per le righe libere della tabella";
    case 11:
      return "celle occupate prima di un segnale vicino a un avviso di rallentamento";
    case 12:
      return "celle occupate prima dell'inizio di un rallentamento";
    case 13:
      return "celle occupate nel rallentamento o prima del segnale che lo segue";
    case 15:
      return "riga oltre la fine della griglia";
    case 16:
      return "segnale su una cella occupata";
    case 17:
      return "avviso di rallentamento su una cella occupata";
    case 18:
      return "inizio di rallentamento su una cella occupata";
    case 19:
      return "fine di rallentamento su una cella occupata";
    case 20:
      return "celle di approccio del rallentamento occupate";
    case 21:
      return "indicatore di velocita' su una cella occupata";
    case 22:
      return "stazione a meno di 350 m dalla precedente";
    case 24:
      return "area della stazione che finisce entro i primi 100 m";
    case 25:
      return "errore di lettura o di esecuzione nel file sorgente";
    case 26:
      return "oggetto fuori dalla griglia del percorso";
    case 27:
      return "piu' di 80 tratti di montagna";
    case 28:
      return "curva oltre la fine del tracciato";
    case 29:
      return "piu' di 80 cartelli indicatori";
    case 30:
      return "rallentamento senza cella di fine prima della fine della griglia";
    case 101:
      return "file sorgente della linea mancante";
    case 102:
      return "[generale] mancante nel file sorgente della linea";
    case 103:
      return "curva senza classe o tracciato oltre 1000000 m";
    case 1250:
      return "valori di intestazione gia' presenti";
    case 1251:
      return "codici dello scenario gia' presenti";
    default:
      return {};
  }
}

}  // namespace scenario
