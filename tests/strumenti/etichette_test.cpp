// The label placer on its own: widths as the drawings' font has them, long
// texts cut with an ellipsis that fits, and labels that crowd one point, a
// line or the frame's edge never meeting each other, the marks or the edge.
#include "strumenti/etichette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

TEST(Etichette, LarghezzeDelCarattereDeiDisegni) {
  // Sums of the font's own advances, read from the font file.
  const struct {
    const char* testo;
    double corpo;
    double larghezza;
  } casi[] = {
      {"BROSSALENTA", 11, 80.8887},    {"S.ROMOLO ALTO", 11, 92.2432},
      {"P.M. Km 11.959", 11, 86.5283}, {"Citt\xE0 di Castello", 9, 71.354},
      {"+21\x89", 9, 31.0693},
  };
  for (const auto& c : casi) {
    EXPECT_NEAR(larghezza_testo(c.testo, {c.corpo}), c.larghezza, 0.001) << c.testo;
    EXPECT_GE(larghezza_testo(c.testo, {c.corpo, true}), c.larghezza * 1.1) << c.testo;
  }
  EXPECT_GT(salita_testo("\xC8", {11}), salita_testo("E", {11}))
      << "accented capitals reach higher";
}

TEST(Etichette, AccorciaConLEllissi) {
  const stile_testo s{11};
  const std::string lungo = "STAZIONE DI SAN ROMOLO ALTO BIVIO";  // 33 characters
  EXPECT_EQ(accorcia(lungo, 1000, s), lungo);
  for (const double massima : {200.0, 120.0, 60.0, 20.0}) {
    const std::string corto = accorcia(lungo, massima, s);
    SCOPED_TRACE(corto);
    ASSERT_FALSE(corto.empty());
    EXPECT_EQ(corto.back(), '\x85');
    EXPECT_LE(larghezza_testo(corto, s), massima);
    EXPECT_EQ(lungo.rfind(corto.substr(0, corto.size() - 1), 0), 0u) << "a prefix of the name";
    EXPECT_NE(corto[corto.size() - 2], ' ') << "no space before the ellipsis";
  }
  EXPECT_EQ(accorcia(lungo, 5, s), "") << "not even the ellipsis fits";
}

bool si_toccano(const std::vector<etichetta>& e) {
  for (size_t i = 0; i < e.size(); ++i)
    for (size_t k = i + 1; k < e.size(); ++k)
      if (e[i].box.tocca(e[k].box)) return true;
  return false;
}

TEST(Etichette, StazioniAffollateSuUnBinario) {
  const riquadro quadro{0, 0, 400, 300};
  posatore_etichette posa(quadro);
  // Sixty stations 3 px apart on a track across the picture.
  posa.ostacolo_linea({0, 150}, {400, 150}, 1.5);
  std::vector<punto_svg> stazioni;
  for (int i = 0; i < 60; ++i) {
    stazioni.push_back({110 + i * 3.0, 150});
    posa.ostacolo({104 + i * 3.0, 144, 116 + i * 3.0, 156});
  }
  std::vector<etichetta> poste;
  int lasciate = 0;
  for (const punto_svg& p : stazioni) {
    const auto e = posa.presso(p, 6, "STAZIONE DI SAN ROMOLO ALTO BIVIO", {11}, true, 80);
    if (!e) {
      ++lasciate;
      continue;
    }
    EXPECT_TRUE(e->box.dentro(quadro));
    EXPECT_FALSE(e->box.tocca({104, 144, 296, 156})) << "off the marks";
    EXPECT_FALSE(e->box.y0 < 151.5 && e->box.y1 > 148.5) << "off the track";
    if (e->con_richiamo) {
      EXPECT_FALSE(e->box.tocca({e->richiamo_a.x - 0.5, e->richiamo_a.y - 0.5,
                                 e->richiamo_a.x + 0.5, e->richiamo_a.y + 0.5}))
          << "the leader stops short of its label";
    }
    poste.push_back(*e);
  }
  EXPECT_FALSE(si_toccano(poste));
  EXPECT_GE(poste.size(), 6u) << "near places, then shortened, then on leaders";
  EXPECT_GT(lasciate, 0) << "a full picture leaves the rest out";
  bool accorciata = false, lontana = false;
  for (const etichetta& e : poste) {
    accorciata = accorciata || !e.completo.empty();
    lontana = lontana || e.con_richiamo;
  }
  EXPECT_TRUE(accorciata);
  EXPECT_TRUE(lontana);
}

TEST(Etichette, LimitiETraPostiDati) {
  const riquadro quadro{0, 0, 100, 40};
  posatore_etichette posa(quadro);
  // At the frame's corner the only free places are inward.
  const auto e = posa.presso({2, 2}, 2, "ABC", {11}, false);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->box.dentro(quadro));
  EXPECT_GE(e->x, 4);
  // Given places: the first free one, none when all are taken or outside.
  const auto a = posa.tra({{e->box.x0, e->box.y0}, {50, 5}}, "XY", {11});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->box.x0, 50);
  EXPECT_FALSE(posa.tra({{e->box.x0, e->box.y0}, {95, 5}, {-5, 5}}, "XY", {11}));
  EXPECT_FALSE(posa.presso({50, 20}, 2, "", {11}, true)) << "nothing to write";
}

TEST(Etichette, UnaCellaAffollataNonCresceSenzaFine) {
  // Thousands of lines through one place cost bounded memory and still block it.
  posatore_etichette posa({0, 0, 200, 200});
  for (int i = 0; i < 5000; ++i) posa.ostacolo_linea({0, 100}, {200, 100.0 + (i % 7)}, 0.5);
  EXPECT_FALSE(posa.libero({90, 98, 110, 104}));
  EXPECT_TRUE(posa.libero({90, 10, 110, 30}));
}

}  // namespace
}  // namespace scenario
