// The scenario notes of train 31457, in Italian: what the real line is like,
// where the model departs from it and which places call for attention.
// Lines are broken by hand within 78 columns and kept to 7-bit ASCII, accents
// written as an apostrophe after the vowel, as in the other driver documents.
#include "documents/dati_note.h"

#include <string>

#include "sources/nomi_file.h"

namespace scenario {

namespace {

constexpr std::string_view righe[] = {
    "              Treno 31457 sul percorso Brossalenta - Morla",
    "",
    " Note sullo scenario:",
    "",
    " - La linea Brossalenta - Morla, lunga 96 km, e' a semplice binario ed e'",
    "   elettrificata solo nel tratto Campella - Morla; il servizio e' svolto quasi",
    "   tutto dalle automotrici diesel del gruppo AM 540.",
    " - La linea supera i dislivelli piu' forti con quattro gallerie elicoidali",
    "   (Torno, Giavina, Scarena e Cavalla), riprodotte ritoccando il raggio di",
    "   alcune curve ma mantenendo il modello il piu' possibile fedele al reale.",
    " - Vanno percorsi a 40 km/h il tratto Km 74+900 - Cresta Rossa (circa 7 km) e",
    "   quello dall'uscita della galleria Cresta Rossa al Km 64+300. I cartelli di",
    "   cambio velocita' stanno nel punto esatto del cambio e non a distanza di",
    "   avviso: fate attenzione e regolatevi sui punti indicati nella scheda treno.",
    " - La fermata di Ulmide, stretta fra due brevi gallerie, e' poco visibile",
    "   e non e' preannunciata: preparatevi per tempo a fermare il treno.",
    " - La progressiva chilometrica cambia due volte. Al confine con l'Orsenia,",
    "   al Km 14.700, i valori iniziano a contare a ritroso da Morla. A Campella",
    "   cambia di nuovo, perche' li' la linea lascia un vecchio tracciato che oggi",
    "   non esiste piu', e scende fino allo 0.000 di Morla.",
    " - Il percorso e' stato ricostruito da carte in scala 1:25000 e da riprese",
    "   video effettuate dalla cabina di guida: per questo le progressive",
    "   chilometriche delle stazioni possono differire in qualche misura da quelle",
    "   reali, anche se l'andamento della linea resta fedele.",
    " - Rispetto al treno 31421 sullo stesso percorso, questo treno effettua meno",
    "   fermate, ma presenta piu' situazioni particolari: rallentamenti e segnali",
    "   disposti a via impedita.",
    "",
    " Dionigi Calvarese - Borgo Ferlante",
    " dionigi.calvarese@example.invalid",
};

}  // namespace

tabella_righe righe_note() {
  tabella_righe t;
  for (std::string_view r : righe) t.aggiungi(r);
  t.chiudi();
  return t;
}

esito_io dati_note(disco& d, std::string_view nome_linea, std::string_view nome_treno) {
  return scrivi_testo(d, nomi_file{std::string(nome_linea), std::string(nome_treno)}.note(),
                      righe_note());
}

}  // namespace scenario
