// The built-in train-run source: regional train 31457 from Brossalenta (17.34) to
// Morla (19.29), with its adhesion and speed profiles, timetable, slowdowns and signals.
// Every line is stored whole, spaces included: nothing is formatted at run time.
#include "sources/dati_treno.h"

#include <string>

#include "sources/nomi_file.h"

namespace scenario {

namespace {

constexpr std::string_view righe[] = {
    "[generale]",
    "numero vetture,    4",
    "percentuale massa frenata,    120",
    "sabbia,    300",
    "orologio,    17              33            30 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "aderenza,    6950,    90",
    "aderenza,   19850,    80",
    "aderenza,   31850,    70",
    "aderenza,   66200,    80",
    "aderenza,   75450,    90",
    "aderenza,   79100,   100",
    "[vel_limite]",
    "velocita,       0,    80",
    "velocita,   24600,    40",
    "velocita,   31750,    80",
    "velocita,   33750,    40",
    "velocita,   35200,    80",
    "[stazioni]",
    "stazione,       0, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,  17,34, 0, BROSSALENTA",
    "stazione,    4900, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, TALMES",
    "stazione,   11400, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  17,47, 0, ULMIDE",
    "stazione,   11950, 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.M. Km 11.959",
    "stazione,   13450, 22,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, CORNASCO",
    "stazione,   16650, 22,  600,  1, 1, 0,  3,1,0,  2,1,1,    0,   0, 0, 0, MOTTA-CRESTE",
    "stazione,   21750, 12,  300,  1, 0, 0,  3,1,0,  2,1,1,  230,  18, 6, 0, S.ROMOLO ALTO",
    "stazione,   27400, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, VAL FIORITA",
    "stazione,   38200, 22,  400,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, ALPE GRANDA",
    "stazione,   43600, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, LAVINE",
    "stazione,   47900, 12,  600,  1, 1, 0,  3,1,0,  2,1,1,   30,  18,39, 0, SAVOGNO",
    "stazione,   54300, 22,  500,  1, 0, 0,  2,1,0,  2,1,1,  230,  18,51, 0, PONTRESSA",
    "stazione,   64800, 12,  600,  1, 1, 0,  4,1,0,  2,1,1,   60,  19, 2, 0, CELERO",
    "stazione,   71250, 22,  400,  1, 0, 0,  2,1,0,  2,1,1,   30,  19, 8, 0, SOMASSO",
    "stazione,   77600, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, CASCINE TORBE",
    "stazione,   83100, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, PRAVELLO",
    "stazione,   87450, 22,  500,  1, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, CAMPELLA",
    "stazione,   95900,  2,  600,  1, 1, 0,  1,1,0,  2,1,1,    0,  19,29, 0, MORLA",
    "[rallentamenti]",
    "rallentamento,    7900,    30,   50, 0,  1,  0",
    "rallentamento,   18900,    40,  400, 0,  1,  0",
    "rallentamento,   50050,    15,  100, 1,  0,  0",
    "rallentamento,   61450,    30,  400, 0,  1,  0",
    "rallentamento,   93200,    50,  500, 0,  1,  0",
    "[segnali]",
    "segnale,   10700,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   11450,   2, 3, 1,  0, 0,    0,  0,0,0, 240",
    "segnale,   12000,   2, 4, 0,  0, 0,    2,  2,0,0, 230",
    "segnale,   20350,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   21050,   2, 2, 3,  1, 0,    0,  0,0,0, 230",
    "segnale,   25900,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   27100,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   36700,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   37800,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   42200,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   43300,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   46300,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   47450,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   52700,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   53850,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   63300,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   64350,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   69700,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   70850,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   81200,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   82350,   2, 3, 1,  0, 0,    0,  0,0,0, 220",
    "segnale,   93900,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   94950,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "[codici]",
    "[fine]",
};

}  // namespace

tabella_righe righe_treno() {
  tabella_righe t;
  for (std::string_view r : righe) t.aggiungi(r);
  t.chiudi();
  return t;
}

esito_io dati_treno(disco& d, std::string_view nome_linea, std::string_view nome_treno) {
  return scrivi_testo(d,
                      nomi_file{std::string(nome_linea), std::string(nome_treno)}.sorgente_treno(),
                      righe_treno());
}

}  // namespace scenario
