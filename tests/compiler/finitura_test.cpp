// The finishing pass on hand-built grids: every value point it leaves (cell
// and value) and the error it records, one table row per situation.
#include "compiler/finitura.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace scenario {
namespace {

struct oggetto {
  int32_t cella;
  uint8_t tipo;
  int16_t valore1;
};

using oggetti = std::vector<oggetto>;

// A slowdown's warning point (none when w is 0), start and end (none when e is 0).
oggetti rallentamento(int32_t w, int32_t s, int32_t e, int16_t v) {
  oggetti o{{s, inizio_rallentamento, v}};
  if (w > 0) o.push_back({w, avviso_rallentamento, v});
  if (e > 0) o.push_back({e, fine_rallentamento, v});
  return o;
}

oggetti piu(oggetti a, const oggetti& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

oggetto segn(int32_t c) { return {c, segnale, 31}; }
oggetto occupata(int32_t c) { return {c, indicatore_velocita, 0}; }

struct caso {
  const char* nome;
  int32_t u;  // ultima_cella
  oggetti griglia;
  std::vector<std::pair<int32_t, int16_t>> punti;  // every value point afterwards
  int32_t codice;
  int32_t posizione;
};

const std::vector<caso>& casi() {
  static const std::vector<caso> t = {
      {"primo rallentamento: 154, 148, 141",
       500,
       rallentamento(135, 159, 160, 30),
       {{141, 180}, {148, 180}, {154, 180}},
       0,
       0},
      {"400 m da 18900: punto in 386",
       2060,
       rallentamento(355, 379, 387, 40),
       {{361, 180}, {368, 180}, {374, 180}, {386, 180}},
       0,
       0},
      {"segnale 300 m prima di un avviso, e un secondo avviso",
       500,
       {segn(129), {135, avviso_rallentamento, 30}, {145, avviso_rallentamento, 30}},
       {{127, 180}, {128, 180}},
       0,
       0},
      {"minimo conserva il 60",
       500,
       {segn(129), {128, punto_valore, 60}, occupata(127), {135, avviso_rallentamento, 30}},
       {{128, 60}},
       0,
       0},
      {"minimo riporta 200 a 180",
       500,
       {segn(129), {128, punto_valore, 200}, occupata(127), {135, avviso_rallentamento, 30}},
       {{128, 180}},
       0,
       0},
      {"11: le due celle prima del segnale occupate",
       500,
       {segn(129), occupata(128), occupata(127), {135, avviso_rallentamento, 30}},
       {},
       11,
       6450},
      {"segnale a 21 celle dall'avviso ignorato",
       500,
       {segn(114), {135, avviso_rallentamento, 30}},
       {},
       0,
       0},
      {"segnale in cella 3 esaminato",
       500,
       {segn(3), {10, avviso_rallentamento, 30}},
       {{2, 180}},
       0,
       0},
      {"segnale in cella 2 non esaminato",
       500,
       {segn(2), {10, avviso_rallentamento, 30}},
       {},
       0,
       0},
      {"inizio in cella 7: nessun punto prima", 500, rallentamento(0, 7, 8, 30), {}, 0, 0},
      {"inizio in cella 8: B1", 500, rallentamento(0, 8, 9, 30), {{3, 180}}, 0, 0},
      {"inizio in cella 13: solo B1", 500, rallentamento(0, 13, 14, 30), {{8, 180}}, 0, 0},
      {"inizio in cella 14: B1 e B2",
       500,
       rallentamento(0, 14, 15, 30),
       {{3, 180}, {9, 180}},
       0,
       0},
      {"inizio in cella 20: niente B3",
       500,
       rallentamento(0, 20, 21, 30),
       {{9, 180}, {15, 180}},
       0,
       0},
      {"inizio in cella 21: B3",
       500,
       rallentamento(0, 21, 22, 30),
       {{3, 180}, {10, 180}, {16, 180}},
       0,
       0},
      {"B1 sulla seconda cella",
       500,
       piu(rallentamento(0, 100, 101, 30), {occupata(95)}),
       {{82, 180}, {89, 180}, {94, 180}},
       0,
       0},
      {"12: tre celle occupate prima dell'inizio",
       500,
       piu(rallentamento(0, 100, 101, 30), {occupata(95), occupata(94), occupata(93)}),
       {{82, 180}, {89, 180}},
       12,
       5000},
      {"109 km/h: punti ogni 8 celle",
       500,
       rallentamento(0, 100, 120, 109),
       {{82, 180}, {89, 180}, {95, 180}, {108, 180}, {116, 180}},
       0,
       0},
      {"110 km/h: nessun punto interno",
       500,
       rallentamento(0, 100, 120, 110),
       {{82, 180}, {89, 180}, {95, 180}},
       0,
       0},
      {"13 in B4 ferma i punti ma non B5",
       500,
       piu(rallentamento(0, 100, 120, 30),
           {occupata(107), occupata(108), occupata(109), segn(125)}),
       {{82, 180}, {89, 180}, {95, 180}, {124, 180}},
       13,
       5400},
      {"B4 sulla cella dopo",
       500,
       piu(rallentamento(0, 100, 120, 30), {occupata(107), occupata(108)}),
       {{82, 180}, {89, 180}, {95, 180}, {109, 180}, {117, 180}},
       0,
       0},
      {"B5 prima del segnale dopo la fine",
       500,
       piu(rallentamento(0, 100, 102, 30), {segn(110)}),
       {{82, 180}, {89, 180}, {95, 180}, {109, 180}},
       0,
       0},
      {"B5 a 13 celle dalla fine non cerca",
       500,
       piu(rallentamento(0, 100, 102, 30), {segn(115)}),
       {{82, 180}, {89, 180}, {95, 180}},
       0,
       0},
      {"13 in B5: la posizione e' la fine",
       500,
       piu(rallentamento(0, 100, 102, 30), {segn(105), occupata(104), occupata(103)}),
       {{82, 180}, {89, 180}, {95, 180}},
       13,
       5100},
      {"veloce: B5 dalla propria fine",
       500,
       piu(rallentamento(0, 100, 110, 120), {segn(115)}),
       {{82, 180}, {89, 180}, {95, 180}, {114, 180}},
       0,
       0},
      {"veloce senza fine: niente B5, nessun errore",
       200,
       piu(rallentamento(0, 180, 0, 120), {segn(185)}),
       {{162, 180}, {169, 180}, {175, 180}},
       0,
       0},
      {"30: nessuna fine prima dell'ultima cella",
       200,
       piu(rallentamento(0, 180, 0, 30), {segn(199)}),
       {{162, 180}, {169, 180}, {175, 180}, {188, 180}, {196, 180}},
       30,
       9000},
      {"una fine nell'ultima cella e' trovata; oltre non c'e' cella libera",
       200,
       piu(rallentamento(0, 192, 200, 30), {occupata(199)}),
       {{174, 180}, {181, 180}, {187, 180}},
       13,
       10000},
      {"B5 cerca fino all'ultima cella",
       200,
       piu(rallentamento(0, 180, 188, 30), {segn(200)}),
       {{162, 180}, {169, 180}, {175, 180}, {187, 180}, {199, 180}},
       0,
       0},
      {"celle U-1 e U mai esaminate",
       200,
       piu(rallentamento(0, 199, 200, 30), {segn(195), {200, avviso_rallentamento, 30}}),
       {},
       0,
       0},
      {"cella U-2 esaminata",
       200,
       rallentamento(0, 198, 199, 30),
       {{180, 180}, {187, 180}, {193, 180}},
       0,
       0},
  };
  return t;
}

TEST(Finitura, PuntiDiValoreEConflitti) {
  for (const caso& c : casi()) {
    SCOPED_TRACE(c.nome);
    stato s;
    s.percorso.assign(static_cast<size_t>(c.u) + 1, cella{});
    s.ultima_cella = c.u;
    for (const oggetto& o : c.griglia) {
      s.percorso[static_cast<size_t>(o.cella)].tipo_cella = o.tipo;
      s.percorso[static_cast<size_t>(o.cella)].valore1 = o.valore1;
    }
    finitura_percorso(s);
    std::vector<std::pair<int32_t, int16_t>> punti;
    for (int32_t i = 0; i <= c.u; ++i) {
      const cella& k = s.percorso[static_cast<size_t>(i)];
      if (k.tipo_cella == punto_valore) punti.emplace_back(i, k.valore1);
    }
    EXPECT_EQ(punti, c.punti);
    EXPECT_EQ(s.codice_errore, c.codice);
    EXPECT_EQ(s.posizione_errore, c.posizione);
  }
}

TEST(Finitura, SenzaGrigliaNonFaNulla) {
  stato s;
  finitura_percorso(s);
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_TRUE(s.percorso.empty());
}

}  // namespace
}  // namespace scenario
