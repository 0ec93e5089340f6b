// The train card of train 31457, Brossalenta - Morla: a boxed header, then the
// table of stations and speed-change points with speeds, kilometric values and
// times. Every line is stored whole, spaces included: nothing is formatted at
// run time, so the card reads the same on every run and every platform.
#include "documents/dati_scheda.h"

#include <string>

#include "sources/nomi_file.h"

namespace scenario {

namespace {

// The kilometric column restarts at the two separators: after Cornasco it counts
// down from Morla over the old alignment, after Pravello it counts down anew.
constexpr std::string_view righe[] = {
    "  ___________________                                                 ______________",
    " |                   |                    SCHEDA                     |              |",
    " |   TRENO n. 31457  |                   da: BROSSALENTA             |    V140 C    |",
    " |___________________|                    a: MORLA                   |     120%     |",
    "                                                                     |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |  INTERREGIONALE   |              |      280T         |",
    " |___________________|              |___________________|",
    "",
    "  ___________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |      Orario       | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                   |     |",
    " |_____|_____|__________|_____|____________________________|___________________|_____|",
    " |  80 |  70 |   0.000  |     | BROSSALENTA                |             17.34 |     |",
    " |     |     |   4.900  |     | TALMES                     |       17.39       |     |",
    " |     |     |  11.400  |     | ULMIDE                     | 17.46+      17.47 |     |",
    " |     |     |  11.950  |     | P.M. Km 11+959             |       17.48       |     |",
    " |     |     |  13.450  |     | CORNASCO                   |       17.49+      |     |",
    " |-----|-----|----------|-----|----------------------------|-------------------|-----|",
    " |     |     |  82.850  |     | MOTTA - CRESTE             |       17.53       |     |",
    " |     |     |  77.750  |     | S. ROMOLO ALTO             | 18.02       18.06 |     |",
    " |  40 |  35 |  74.900  |     | Km 74+900                  |       18.10       |     |",
    " |     |     |  72.100  |     | VAL FIORITA                |       18.15       |     |",
    " |  80 |  70 |  67.750  |     | Imbocco gall. CRESTA ROSSA |       18.22       |     |",
    " |  40 |  35 |  65.750  |     | Uscita gall. CRESTA ROSSA  |       18.24       |     |",
    " |  80 |  70 |  64.300  |     | Km 64+300                  |       18.26+      |     |",
    " |     |     |  61.300  |     | ALPE GRANDA                |       18.29       |     |",
    " |     |     |  55.900  |     | LAVINE                     |       18.33+      |     |",
    " |     |     |  51.600  |     | SAVOGNO                    | 18.38+      18.39 |     |",
    " |     |  75 |  45.200  |     | PONTRESSA                  | 18.47       18.51 |     |",
    " |     |     |  34.700  |     | CELERO                     | 19.01       19.02 |     |",
    " |     |     |  28.250  |     | SOMASSO                    | 19.07+      19.08 |     |",
    " |     |     |  21.900  |     | Cascine Torbe              |       19.13+      |     |",
    " |     |     |  16.400  |     | PRAVELLO                   |       19.18       |     |",
    " |-----|-----|----------|-----|----------------------------|-------------------|-----|",
    " |     |     |   8.450  |     | CAMPELLA                   |       19.21+      |     |",
    " |     |     |   0.000  |     | MORLA                      | 19.29             |     |",
    " |_____|_____|__________|_____|____________________________|___________________|_____|",
    "",
    "",
    "Nota: Nella colonna Orario il simbolo '+' indica 'mezzo minuto'.",
};

}  // namespace

tabella_righe righe_scheda() {
  tabella_righe t;
  for (std::string_view r : righe) t.aggiungi(r);
  t.chiudi();
  return t;
}

esito_io dati_scheda(disco& d, std::string_view nome_linea, std::string_view nome_treno) {
  return scrivi_testo(d, nomi_file{std::string(nome_linea), std::string(nome_treno)}.scheda_treno(),
                      righe_scheda());
}

}  // namespace scenario
