// Where each recorded error came from: the source, line and column of the row
// the parser was handling (or of the field whose value did not fit), the
// objects of a finishing-pass conflict, and the rows that placed the objects
// of the grid. None of it may change a compiled byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/sorgenti_prova.h"
#include "compiler/uscita.h"

namespace scenario {
namespace {

using prova::banco;
using prova::righe;

const std::string linea_file = "L_linea.txt";
const std::string treno_file = "L_T-.txt";

// A line source with the body rows, and a train-run source with its rows.
// Lines of the line source: 1 "[generale]", 2 the length, 3.. `generale`,
// then "[curve]" and the body; of the train-run source: 1 "[generale]", 2.. rows.
struct caso_luogo {
  const char* nome;
  std::string linea;
  std::string treno;
  int32_t codice;
  luogo_sorgente luogo;
};

righe cartelli(int n) {
  righe r;
  for (int k = 0; k < n; ++k) {
    r.push_back("cartello_indicatore, " + std::to_string(1000 + 100 * k) + ", (C" +
                std::to_string(k) + ")");
  }
  return r;
}

righe montagne(int n) {
  righe r;
  for (int k = 0; k < n; ++k) {
    const int inizio = 500 + 100 * k;
    r.push_back("montagna, " + std::to_string(inizio) + ", " + std::to_string(inizio + 50) + ", 1");
  }
  return r;
}

const std::string linea_vuota = prova::linea({});
const std::string treno_vuoto = prova::treno({});

std::vector<caso_luogo> casi() {
  using prova::linea;
  using prova::stazione;
  using prova::treno;
  return {
      {"senza [generale] nella linea",
       prova::testo({"lunghezza percorso, 10000"}),
       treno_vuoto,
       102,
       {linea_file, 0, 0}},
      {"lunghezza oltre 1000000",
       linea({}, {}, "lunghezza percorso, 1000001"),
       treno_vuoto,
       1,
       {linea_file, 2, 1}},
      {"ripetizione con l'inizio non multiplo di 50",
       linea({}, {"ripetizione segnali 4 codici, 25, 0"}),
       treno_vuoto,
       3,
       {linea_file, 3, 1}},
      {"ripetizione senza numero di codici",
       linea({}, {"", "   ripetizione segnali, 0, 50"}),
       treno_vuoto,
       5,
       {linea_file, 4, 4}},
      {"progressiva spostata dall'ordinamento",
       linea({}, {"progressiva chilometrica tre, 100, 0, 0",
                  "progressiva chilometrica due, 9000, 1025, 1"}),
       treno_vuoto,
       2,
       {linea_file, 4, 1}},
      {"valore troppo largo: la colonna del campo",
       linea({}, {"sfondo uno, 99999999999"}),
       treno_vuoto,
       25,
       {linea_file, 3, 13}},
      {"pendenza oltre la griglia, rientrata",
       linea({"pendenza, 500, 3", "  pendenza, 20000, 3"}),
       treno_vuoto,
       15,
       {linea_file, 5, 3}},
      {"curva senza classe", linea({"curvad, 100, 50"}), treno_vuoto, 103, {linea_file, 4, 1}},
      {"curva oltre la fine del tracciato",
       linea({"curvad4, 9000, 9000"}),
       treno_vuoto,
       28,
       {linea_file, 4, 1}},
      {"due cartelli nella stessa cella",
       linea({"cartello_indicatore, 1000, (A)", "cartello_indicatore, 1000, (B)"}),
       treno_vuoto,
       6,
       {linea_file, 5, 1}},
      {"ottantunesima montagna", linea(montagne(81)), treno_vuoto, 27, {linea_file, 84, 1}},
      {"indicatore su una cella occupata",
       linea({"indicatori_vmax, 550, 80, 80, 80, 0, , , , 0",
              "indicatori_vmax, 550, 40, 40, 40, 0, , , , 0"}),
       treno_vuoto,
       21,
       {linea_file, 5, 1}},
      {"treno mancante", linea_vuota, "", 25, {treno_file, 0, 0}},
      {"segnale che finisce il file: la riga",
       linea_vuota,
       prova::testo({"[generale]", "segnale, 5000, 1"}),
       25,
       {treno_file, 2, 1}},
      {"segnale su un segnale",
       linea_vuota,
       treno({"segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
              "segnale, 5000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0"}),
       16,
       {treno_file, 3, 1}},
      {"segnale troppo vicino all'inizio",
       linea_vuota,
       treno({"x", "segnale, 100, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"}),
       26,
       {treno_file, 3, 1}},
      {"inizio di rallentamento occupato",
       linea_vuota,
       treno({"segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
              "rallentamento, 5000, 30, 100, 0, 0, 0"}),
       18,
       {treno_file, 3, 1}},
      {"abbattimento su un segnale",
       linea_vuota,
       treno({"segnale, 4950, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0", "abbattimento, 5000, 0"}),
       7,
       {treno_file, 3, 1}},
      {"stazione non multipla di 50",
       linea_vuota,
       treno({stazione(0, 28, 200), stazione(5020, 28, 200)}),
       8,
       {treno_file, 3, 1}},
      {"stazione lunga non multipla di 100",
       linea_vuota,
       treno({stazione(5000, 28, 250)}),
       9,
       {treno_file, 2, 1}},
      {"stazioni troppo vicine",
       linea_vuota,
       treno({stazione(5000, 28, 200), stazione(5300, 28, 200)}),
       22,
       {treno_file, 3, 1}},
      {"stazione che finisce entro 100 m",
       linea_vuota,
       treno({stazione(0, 12, 100)}),
       24,
       {treno_file, 2, 1}},
      {"stazione che raggiunge i cartelli",
       linea(cartelli(78)),
       treno({stazione(0, 28, 200)}),
       10,
       {treno_file, 2, 1}},
  };
}

TEST(Diagnostica, OgniErroreDelParserPortaFileRigaEColonna) {
  for (const caso_luogo& c : casi()) {
    SCOPED_TRACE(c.nome);
    banco b(c.linea, c.treno, 1);
    if (c.treno.empty()) b.d.file.erase(b.nomi.sorgente_treno());
    memorizza_percorso(b.s, b.d, 1);
    EXPECT_EQ(b.s.codice_errore, c.codice);
    EXPECT_EQ(b.s.diagnostica.luogo, c.luogo);
    EXPECT_FALSE(b.s.diagnostica.conflitto.has_value());
  }
}

TEST(Diagnostica, SorgenteDellaLineaMancante) {
  banco b;
  memorizza_percorso(b.s, b.d, 1);
  EXPECT_EQ(b.s.codice_errore, 101);
  EXPECT_EQ(b.s.diagnostica.luogo, (luogo_sorgente{linea_file, 0, 0}));
}

// A 15 from the line source ends the call at the first signal of the train
// run with that signal's position; the place stays the row beyond the grid.
TEST(Diagnostica, IlQuindiciEreditatoTieneLaSuaRiga) {
  banco b(prova::linea({"pendenza, 20000, 3"}),
          prova::treno({"segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"}), 1);
  memorizza_percorso(b.s, b.d, 1);
  EXPECT_EQ(b.s.codice_errore, 15);
  EXPECT_EQ(b.s.posizione_errore, 5000);
  EXPECT_EQ(b.s.diagnostica.luogo, (luogo_sorgente{linea_file, 4, 1}));
}

TEST(Diagnostica, UnaCompilazionePulitaNonHaLuogo) {
  banco b(prova::linea({"pendenza, 500, 3"}), prova::treno({prova::stazione(0, 12, 500)}), 1);
  memorizza_percorso(b.s, b.d, 1);
  EXPECT_EQ(b.s.codice_errore, 0);
  EXPECT_EQ(b.s.diagnostica.luogo, luogo_sorgente{});
  EXPECT_FALSE(b.s.diagnostica.conflitto.has_value());
}

// Every object cell maps to the row that placed it.
TEST(Diagnostica, LeCelleOccupateRicordanoLaRigaCheLeHaRiempite) {
  banco b(prova::linea(
              {"cartello_indicatore, 2000, (A)", "indicatori_vmax, 550, 80, 80, 80, 0, , , , 0"}),
          prova::treno({prova::stazione(0, 12, 500), "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0",
                        "rallentamento, 7900, 30, 50, 0, 1, 0", "abbattimento, 3000, 60"}),
          1);
  memorizza_percorso(b.s, b.d, 1);
  ASSERT_EQ(b.s.codice_errore, 0);
  const struct {
    int32_t cella;
    luogo_sorgente luogo;
  } attesi[] = {
      {41, {linea_file, 4, 1}},   // sign at 2000
      {12, {linea_file, 5, 1}},   // board at 550
      {4, {treno_file, 2, 1}},    // station point
      {101, {treno_file, 3, 1}},  // signal at 5000
      {159, {treno_file, 4, 1}}, {160, {treno_file, 4, 1}},
      {135, {treno_file, 4, 1}},                             // start, end, warning
      {131, {treno_file, 4, 1}}, {132, {treno_file, 4, 1}},  // approach cells
      {133, {treno_file, 4, 1}}, {134, {treno_file, 4, 1}},
      {60, {treno_file, 5, 1}},  // code point R(3000 / 50)
  };
  for (const auto& a : attesi) {
    SCOPED_TRACE(a.cella);
    ASSERT_EQ(b.s.diagnostica.posati.count(a.cella), 1u);
    EXPECT_EQ(b.s.diagnostica.posati.at(a.cella), a.luogo);
  }
  EXPECT_EQ(b.s.diagnostica.posati.size(), std::size(attesi));
}

// Conflicts of the finishing pass: the code, its position, and the cells of
// the objects involved; the place is no source row.
struct caso_conflitto {
  const char* nome;
  righe treno;
  int32_t codice;
  int32_t posizione;
  conflitto_finitura oggetti;
};

TEST(Diagnostica, ConflittiDelCompletamentoConILoroOggetti) {
  const std::vector<caso_conflitto> casi = {
      // Start cell 101; B1 tries cells 96, 95, 94, all code points.
      {"celle prima dell'inizio",
       {"abbattimento, 4800, 0", "abbattimento, 4750, 0", "abbattimento, 4700, 0",
        "rallentamento, 5000, 30, 100, 0, 0, 0"},
       12,
       5050,
       {{}, 101, {}, {}, {96, 95, 94}}},
      // Start 101, end 103; the signal at cell 106 after the end has cells 105
      // and 104 occupied.
      {"segnale dopo la fine",
       {"abbattimento, 5250, 0", "abbattimento, 5200, 0", "rallentamento, 5000, 30, 100, 0, 0, 0",
        "segnale, 5250, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"},
       13,
       5150,
       {{}, 101, 103, 106, {105, 104}}},
      // Warning point at 5000 + 1200 - 1200 = cell 101 for a slowdown at 6200
      // (start 125); the signal in cell 96 has cells 95 and 94 occupied.
      {"segnale prima dell'avviso",
       {"abbattimento, 4750, 0", "abbattimento, 4700, 0",
        "segnale, 4750, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0", "rallentamento, 6200, 120, 100, 0, 0, 0"},
       11,
       4800,
       {101, {}, {}, 96, {95, 94}}},
  };
  for (const caso_conflitto& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(linea_vuota, prova::treno(c.treno), 1);
    memorizza_percorso(b.s, b.d, 1);
    EXPECT_EQ(b.s.codice_errore, c.codice);
    EXPECT_EQ(b.s.posizione_errore, c.posizione);
    EXPECT_EQ(b.s.diagnostica.luogo, luogo_sorgente{});
    ASSERT_TRUE(b.s.diagnostica.conflitto.has_value());
    EXPECT_EQ(*b.s.diagnostica.conflitto, c.oggetti);
  }
}

}  // namespace
}  // namespace scenario
