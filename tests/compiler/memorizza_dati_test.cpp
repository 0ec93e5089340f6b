// The parser on small sources in an in-memory disk: station areas and marks,
// the three profiles, the plan, the header rows, the comment and case rules,
// and every error code with its position and the sources it leaves on disk.
#include "compiler/memorizza_dati.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/passo_tracciato.h"
#include "compiler/sorgenti_prova.h"
#include "sources/dati_linea.h"

namespace scenario {
namespace {

using prova::banco;
using prova::righe;

constexpr int32_t nessuna_posizione = 777777;

// n signs, 100 m apart from 1000 m on.
righe cartelli(int n) {
  righe r;
  for (int k = 0; k < n; ++k) {
    r.push_back("cartello_indicatore, " + std::to_string(1000 + 100 * k) + ", (C" +
                std::to_string(k) + ")");
  }
  return r;
}

// n terrain spans of 50 m, 200 m apart.
righe montagne(int n) {
  righe r;
  for (int k = 0; k < n; ++k) {
    const int inizio = 500 + 200 * k;
    r.push_back("montagna, " + std::to_string(inizio) + ", " + std::to_string(inizio + 50) + ", 1");
  }
  return r;
}

righe piu(righe a, const righe& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- stations ----

struct caso_stazione {
  const char* nome;
  righe treno;
  int r;  // the row examined
  int32_t inizio;
  int32_t fine;
  uint8_t dato2;
  uint8_t dato3;
  std::vector<std::pair<int32_t, int>> avvicinamenti;  // cell, mark
  int32_t cella_punto;                                 // -1: no station point
};

// A first station that marks nothing, so the row under test can be row 2.
const std::string prima_muta = prova::stazione(0, 28, 200);

TEST(MemorizzaDati, AreeSegniEPuntiDelleStazioni) {
  const std::vector<caso_stazione> casi = {
      {"prima stazione predefinita",
       {"stazione,       0, 12,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,  17,34, 0, BROSSALENTA"},
       1,
       -250,
       250,
       0,
       0,
       {{2, 82}, {3, 81}},
       4},
      {"settima stazione predefinita",
       {prima_muta,
        "stazione,   21750, 12,  300,  1, 0, 0,  3,1,0,  2,1,1,  230,  18, 6, 0, S.ROMOLO ALTO"},
       2,
       21600,
       21900,
       0,
       0,
       {{433, 84}, {434, 83}, {435, 82}, {436, 81}},
       437},
      {"tipo 28: ne' segni ne' punto",
       {"stazione,    4900, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, TALMES"},
       1,
       4800,
       5000,
       0,
       0,
       {},
       -1},
      {"terzo dato: 50 m in piu' alla fine",
       {prima_muta, prova::stazione(13450, 22, 400, "X", 1)},
       2,
       13250,
       13700,
       0,
       1,
       {{269, 84}, {270, 83}, {271, 82}, {272, 81}},
       273},
      {"600 m conservano il secondo dato",
       {prima_muta, prova::stazione(16650, 22, 600)},
       2,
       16350,
       16950,
       1,
       0,
       {{334, 84}, {335, 83}, {336, 82}, {337, 81}},
       338},
      {"prima stazione: secondo e terzo dato azzerati",
       {prova::stazione(16650, 22, 600, "X", 1)},
       1,
       16350,
       17000,
       0,
       0,
       {{335, 84}, {336, 83}, {337, 82}, {338, 81}},
       339},
      {"tipo 5: 150 m dopo, senza segni",
       {prima_muta, prova::stazione(5000, 5, 300, "X", 1)},
       2,
       4700,
       5150,
       0,
       0,
       {},
       102},
      {"tipo 7: A da entrambi i lati",
       {prima_muta, prova::stazione(5000, 7, 300, "X", 1)},
       2,
       4700,
       5300,
       0,
       0,
       {{101, 84}, {102, 83}, {103, 82}, {104, 81}},
       105},
  };
  for (const caso_stazione& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(prova::linea({}, {}, "lunghezza percorso, 30000"), prova::treno(c.treno));
    memorizza_dati(b.s, b.d);
    ASSERT_EQ(b.s.codice_errore, 0);
    const voce_scenario& v = b.riga(c.r);
    EXPECT_EQ(v.inizio, c.inizio);
    EXPECT_EQ(v.fine, c.fine);
    EXPECT_EQ(v.dato2, c.dato2);
    EXPECT_EQ(v.dato3, c.dato3);
    std::vector<std::pair<int32_t, int>> segni;
    std::vector<int32_t> punti;
    for (int32_t i = 0; i <= b.s.ultima_cella; ++i) {
      if (b.in(i).avvicinamento != 0) segni.emplace_back(i, b.in(i).avvicinamento);
      if (b.in(i).tipo_cella == punto_stazione) punti.push_back(i);
    }
    EXPECT_EQ(segni, c.avvicinamenti);
    if (c.cella_punto < 0) {
      EXPECT_TRUE(punti.empty());
    } else {
      ASSERT_EQ(punti, std::vector<int32_t>{c.cella_punto});
      EXPECT_EQ(b.in(c.cella_punto).valore1, c.r);
    }
  }
}

// The row's fields land in the record's own order, not the file's.
TEST(MemorizzaDati, CampiDellaStazioneNelleColonneGiuste) {
  banco b(prova::linea({}), prova::treno({prima_muta,
                                          "stazione, 1000, 12, 600, 11, 12, 13, 14, 15, 16, 17, "
                                          "18, 19, 20, 1, 2, 3, P.M. Km 11.959"}));
  memorizza_dati(b.s, b.d);
  ASSERT_EQ(b.s.codice_errore, 0);
  voce_scenario atteso;
  atteso.tipo = 12;
  atteso.inizio = 700;
  atteso.fine = 1350;
  atteso.posizione = 1000;
  atteso.dato1 = 11;
  atteso.nome = "P.M. Km 11.959";
  atteso.dato4 = 14;
  atteso.dato5 = 15;
  atteso.dato7 = 17;
  atteso.dato8 = 18;
  atteso.dato9 = 19;
  atteso.dato6 = 16;
  atteso.dato10 = 20;
  atteso.dato3 = 13;
  atteso.dato2 = 12;
  atteso.orario = 3723;
  EXPECT_EQ(b.riga(2), atteso);
}

// ---- profiles ----

struct tratto {
  int32_t da;
  int32_t a;
  int valore;
};

struct caso_profilo {
  const char* nome;
  righe linea;
  righe treno;
  uint8_t cella::*campo;
  std::vector<tratto> tratti;
};

// Route of 10000 m: ultima_cella 340, the closing fills end at cell 337.
TEST(MemorizzaDati, PendenzeLimitiEAderenze) {
  const std::vector<caso_profilo> casi = {
      {"pendenze predefinite",
       {"pendenza,   0,    0", "pendenza,  500,   3"},
       {},
       &cella::pendenza,
       {{0, 9, 100}, {10, 337, 103}, {338, 340, 0}}},
      {"pendenza negativa",
       {"pendenza, 0, 0", "pendenza,  1000,   -27"},
       {},
       &cella::pendenza,
       {{0, 19, 100}, {20, 337, 73}}},
      {"prima della prima pendenza vale 0",
       {"pendenza, 1000, 5"},
       {},
       &cella::pendenza,
       {{0, 19, 100}, {20, 337, 105}}},
      {"pendenza maiuscola",
       {"Pendenza, 1000, 5"},
       {},
       &cella::pendenza,
       {{0, 19, 100}, {20, 337, 105}}},
      {"80 km/h",
       {},
       {"velocita,       0,    80"},
       &cella::vel_limite,
       {{0, 337, 16}, {338, 340, 0}}},
      {"il primo limite vale anche prima di se'",
       {},
       {"velocita, 1000, 80", "velocita, 2000, 40"},
       &cella::vel_limite,
       {{0, 39, 16}, {40, 337, 8}}},
      {"limite arrotondato",
       {},
       {"VELOCITA, 0, 62", "velocit\xc3\xa0, 500, 63"},
       &cella::vel_limite,
       {{0, 9, 12}, {10, 337, 13}}},
      {"il limite si ferma prima dell'ultima cella",
       {},
       piu(righe(4, "velocita, 16900, 80"), {"velocita, 16900, 40"}),
       &cella::vel_limite,
       {{0, 339, 16}, {340, 340, 8}}},
      {"aderenza",
       {},
       {"aderenza,   0,    100", "aderenza,    6950,    90"},
       &cella::aderenza,
       {{0, 138, 100}, {139, 337, 90}, {338, 340, 0}}},
      {"la prima aderenza vale anche prima di se'",
       {},
       {"aderenza, 500, 70"},
       &cella::aderenza,
       {{0, 337, 70}}},
  };
  for (const caso_profilo& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(prova::linea(c.linea), prova::treno(c.treno));
    memorizza_dati(b.s, b.d);
    ASSERT_EQ(b.s.codice_errore, 0);
    for (const tratto& t : c.tratti) {
      for (int32_t i = t.da; i <= t.a; ++i) {
        ASSERT_EQ(b.in(i).*c.campo, t.valore) << "cella " << i;
      }
    }
  }
}

// ---- the plan ----

TEST(MemorizzaDati, TracciatoDallaPrimaCurva) {
  banco b(prova::linea({"curvas4,  250,  400"}), prova::treno({}), 1);
  memorizza_dati(b.s, b.d);
  ASSERT_EQ(b.s.codice_errore, 0);
  const tracciato& t = b.s.tracciato;
  ASSERT_EQ(t.fine(), 17000);
  for (int32_t m = 0; m <= 1; ++m) {
    EXPECT_EQ(t.tipo(m, 0), tipo_valore::intero);
    EXPECT_EQ(t.tipo(m, 1), tipo_valore::intero);
    EXPECT_EQ(t.valore(m, 0), 0.0);
    EXPECT_EQ(t.valore(m, 1), m);
  }
  // Before the curve the track runs along the second coordinate, 1 m a metre.
  for (int32_t m = 2; m <= 250; ++m) {
    ASSERT_EQ(t.tipo(m, 0), tipo_valore::doppio) << m;
    ASSERT_EQ(t.valore(m, 0), 0.0) << m;
    ASSERT_EQ(t.valore(m, 1), m) << m;
  }
  EXPECT_EQ(t.valore(251, 0), -0.001);
  EXPECT_EQ(t.valore(251, 1), 251.0);
  EXPECT_EQ(t.tipo(16998, 1), tipo_valore::doppio);
  for (int32_t m = 16999; m <= 17000; ++m) {
    EXPECT_EQ(t.tipo(m, 0), tipo_valore::vuoto);
    EXPECT_EQ(t.tipo(m, 1), tipo_valore::vuoto);
  }
}

TEST(MemorizzaDati, SenzaGeneraLineaNessunTracciato) {
  banco b(prova::linea({"curvas4,  250,  400"}), prova::treno({}), 0);
  memorizza_dati(b.s, b.d);
  EXPECT_EQ(b.s.codice_errore, 0);
  EXPECT_FALSE(b.s.tracciato.allocato());
}

TEST(PassoTracciato, CurvaturaDallaParolaChiave) {
  const std::vector<std::pair<std::string, std::optional<double>>> casi = {
      {"curvad5", 0.002},   {"CURVAD5", 0.002},      {"curvas4", -0.001},
      {"CurvaS3", -0.0004}, {"curvad6", 0.003},      {"curvad21", 0.0001},
      {"curvad2", 0.0002},  {"curva", std::nullopt}, {"curvad7", std::nullopt},
  };
  for (const auto& [chiave, attesa] : casi) EXPECT_EQ(curvatura(chiave), attesa) << chiave;
}

TEST(PassoTracciato, PassiRettilineoECurva) {
  const punto_piano r = passo_rettilineo({3, 5}, {1, 2});
  EXPECT_EQ(r.x, 5.0);
  EXPECT_EQ(r.y, 8.0);
  const punto_piano c = passo_curva({0, 250}, {0, 249}, -0.001);
  EXPECT_EQ(c.x, -0.001);
  EXPECT_EQ(c.y, 251.0);
  // The step turns without being renormalised: (1, 0) turned by 0.5.
  const punto_piano g = passo_curva({1, 0}, {0, 0}, 0.5);
  EXPECT_EQ(g.x, 2.0);
  EXPECT_EQ(g.y, -0.5);
}

// ---- header rows, comments and letter case ----

TEST(MemorizzaDati, RigheDiIntestazione) {
  // The built-in [generale] rows, the route length first.
  righe generale = prova::righe_tra(righe_linea(), "[generale]", "[curve]");
  ASSERT_EQ(generale.front(), "lunghezza percorso,    96000");
  const std::string lunghezza = generale.front();
  generale.erase(generale.begin());
  banco b(prova::linea({}, generale, lunghezza),
          prova::treno({"numero vetture,    4", "percentuale massa frenata,    120",
                        "sabbia,    300", "orologio,    17              33            30 "}));
  memorizza_dati(b.s, b.d);
  ASSERT_EQ(b.s.codice_errore, 0);
  EXPECT_EQ(b.s.ultima_cella, 2060);
  EXPECT_EQ(b.s.fine_tracciato, 103000);
  const auto origine = [&](int r) {
    return std::vector<int32_t>{b.riga(r).inizio, b.riga(r).fine, b.riga(r).posizione};
  };
  EXPECT_EQ(origine(81), (std::vector<int32_t>{87900, 96000, 1}));
  EXPECT_EQ(origine(82), (std::vector<int32_t>{14700, 99600, 1}));
  EXPECT_EQ(origine(83), (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(origine(84), (std::vector<int32_t>{120, 96000, 4}));
  EXPECT_EQ(origine(85), (std::vector<int32_t>{78700, 3600, 1}));
  EXPECT_EQ(origine(86), (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(b.riga(85).nome, "L");
  EXPECT_EQ(b.riga(86).nome, "T");
  EXPECT_EQ(b.riga(86).dato4, 300);
  EXPECT_EQ(b.riga(86).dato7, 17);
  EXPECT_EQ(b.riga(86).dato8, 33);
  EXPECT_EQ(b.riga(86).dato9, 30);
}

struct caso_generale {
  const char* nome;
  righe generale;
  int32_t sfondo_uno;  // row 85 inizio afterwards
  int32_t codici;      // row 86 posizione afterwards
};

TEST(MemorizzaDati, CommentiEMaiuscoleInGenerale) {
  const righe dieci(10, "- commento");
  const std::vector<caso_generale> casi = {
      {"dieci commenti saltati, l'undicesimo esaminato", piu(dieci, {"- sfondo uno, 7"}), 7, 0},
      {"il decimo commento e' saltato", piu(righe(9, "- commento"), {"- sfondo uno, 7"}), 0, 0},
      {"sfondo con la maiuscola ignorato", {"Sfondo uno, 7"}, 0, 0},
      {"9 codici", {"ripetizione segnali 9 codici, 100, 5000"}, 0, 9},
      {"9 codici e fine 0", {"ripetizione segnali 9 codici, 100, 0"}, 0, 0},
      {"Ripetizione con la maiuscola ignorata", {"Ripetizione segnali 9 codici, 100, 5000"}, 0, 0},
  };
  for (const caso_generale& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(prova::linea({}, c.generale), prova::treno({}));
    memorizza_dati(b.s, b.d);
    EXPECT_EQ(b.s.codice_errore, 0);
    EXPECT_EQ(b.riga(85).inizio, c.sfondo_uno);
    EXPECT_EQ(b.riga(86).posizione, c.codici);
  }
}

TEST(MemorizzaDati, ProgressivaConLaMaiuscolaIgnorata) {
  banco b(prova::linea({}, {"Progressiva chilometrica tre, 5000, 8000, 1"}), prova::treno({}));
  memorizza_dati(b.s, b.d);
  EXPECT_EQ(b.s.codice_errore, 0);
  for (int r = 81; r <= 83; ++r) EXPECT_EQ(b.riga(r), voce_scenario{}) << r;
}

TEST(MemorizzaDati, DueCommentiNelCorpoIlTerzoEsaminato) {
  const std::vector<std::pair<righe, int>> casi = {
      {{"- uno", "- due", "- pendenza, 500, 3"}, 103},
      {{"- uno", "- pendenza, 500, 3"}, 100},
  };
  for (const auto& [corpo, attesa] : casi) {
    banco b(prova::linea(corpo), prova::treno({}));
    memorizza_dati(b.s, b.d);
    EXPECT_EQ(b.s.codice_errore, 0);
    EXPECT_EQ(b.in(20).pendenza, attesa) << corpo.size() << " comment lines";
  }
}

TEST(MemorizzaDati, CartelliDallaRiga80InGiu) {
  banco b(prova::linea(cartelli(2)), prova::treno({}));
  memorizza_dati(b.s, b.d);
  ASSERT_EQ(b.s.codice_errore, 0);
  EXPECT_EQ(b.riga(80).nome, "(C0)");
  EXPECT_EQ(b.riga(79).nome, "(C1)");
  EXPECT_EQ(b.in(21).tipo_cella, cartello_indicatore);
  EXPECT_EQ(b.in(21).valore1, 80);
  EXPECT_EQ(b.in(23).valore1, 79);
}

TEST(MemorizzaDati, UnQuindiciNellaLineaLasciaLeggereIlTreno) {
  banco b(prova::linea({"pendenza, 16950, 3", "cartello_indicatore, 1000, (X)"}),
          prova::treno({"numero vetture, 4"}));
  memorizza_dati(b.s, b.d);
  EXPECT_EQ(b.s.codice_errore, 15);
  EXPECT_EQ(b.riga(84).posizione, 4);
  EXPECT_EQ(b.in(21).tipo_cella, cella_libera);  // the rest of the line body is not read
}

// Stations may not run into the rows of the sign texts.
TEST(MemorizzaDati, StazioniEFinoAOttantaCartelli) {
  const std::vector<std::pair<int, int>> casi = {{79, 1}, {80, 0}};  // signs, rows written
  for (const auto& [n, scritte] : casi) {
    banco b(prova::linea(cartelli(n)), prova::treno({prova::stazione(0, 28, 200, "S")}));
    memorizza_dati(b.s, b.d);
    EXPECT_EQ(b.s.codice_errore, 10) << n;
    EXPECT_EQ(b.riga(1).nome, scritte == 1 ? "S" : "(C79)") << n;
    EXPECT_EQ(b.riga(2).nome, "(C78)") << n;
  }
}

// ---- error codes ----

struct caso_errore {
  const char* nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  int32_t genera_linea;
  int32_t codice;
  int32_t posizione;  // nessuna_posizione: left untouched
  bool resta_linea;
  bool resta_treno;
};

std::vector<caso_errore> casi_errore() {
  using prova::linea;
  using prova::stazione;
  using prova::testo;
  using prova::treno;
  const std::string t = treno({});
  const std::string l = linea({});
  const std::string segnale = "segnale, 5000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0";
  const auto con_treno = [&](const righe& r) { return std::optional<std::string>(treno(r)); };
  return {
      {"101 linea mancante", std::nullopt, t, 0, 101, nessuna_posizione, false, true},
      {"25 sorgente linea vuota", std::string(), t, 0, 25, nessuna_posizione, false, false},
      {"102 senza [generale]", testo({"lunghezza percorso, 10000", "[fine]"}), t, 0, 102,
       nessuna_posizione, false, true},
      {"102 [generale] come ultimo campo", testo({"[generale]"}), t, 0, 102, nessuna_posizione,
       false, true},
      {"1 lunghezza oltre 1000000", linea({}, {}, "lunghezza percorso, 1000001"), t, 0, 1,
       nessuna_posizione, false, true},
      {"3 inizio dei codici", linea({}, {"ripetizione segnali 4 codici, 25, 0"}), t, 0, 3,
       nessuna_posizione, false, true},
      {"4 fine dei codici", linea({}, {"ripetizione segnali 4 codici, 50, 125"}), t, 0, 4,
       nessuna_posizione, false, true},
      {"5 ne' 4 ne' 9", linea({}, {"ripetizione segnali codici, 50, 100"}), t, 0, 5,
       nessuna_posizione, false, true},
      {"103 curva senza classe", linea({"curva, 250, 400"}), t, 1, 103, nessuna_posizione, false,
       true},
      {"103 tracciato oltre 1000000",
       linea({"curvad1, 999990, 20"}, {}, "lunghezza percorso, 1000000"), t, 1, 103,
       nessuna_posizione, false, true},
      {"103 curva oltre il tracciato della linea piu' lunga",
       linea({"curvad5,  999000,  10000"}, {}, "lunghezza percorso, 1000000"), t, 1, 103,
       nessuna_posizione, false, true},
      {"28 curva oltre il tracciato", linea({"curvad1, 9000, 8001"}), t, 1, 28, 9000, false, true},
      {"28 curva oltre un tracciato che finisce sotto 1000000 m",
       linea({"curvad1, 985000, 8000"}, {}, "lunghezza percorso, 985000"), t, 1, 28, 985000, false,
       true},
      {"curva fino alla fine del tracciato", linea({"curvad1, 9000, 8000"}), t, 1, 0,
       nessuna_posizione, false, false},
      {"6 due cartelli nella stessa cella",
       linea({"cartello_indicatore, 1000, (A)", "cartello_indicatore, 1010, (B)"}), t, 0, 6, 1010,
       false, true},
      {"29 ottantunesimo cartello", linea(cartelli(81)), t, 0, 29, 9000, false, true},
      {"26 cartello a posizione negativa", linea({"cartello_indicatore, -500, (A)"}), t, 0, 26,
       -500, false, true},
      {"21 indicatore rifiutato nella linea",
       linea({"indicatori_vmax, 550, 80, 80, 80, 0, , , , 0",
              "indicatori_vmax, 550, 40, 40, 40, 0, , , , 0"}),
       t, 0, 21, 550, false, true},
      {"27 ottantunesima montagna", linea(montagne(81)), t, 0, 27, 16500, false, true},
      {"15 nella linea", linea({"pendenza, 16950, 3"}), t, 0, 15, 16950, false, false},
      {"16900 m stanno nella griglia", linea({"pendenza, 16900, 3"}), t, 0, 0, nessuna_posizione,
       false, false},
      {"15 nella linea, poi un segnale", linea({"pendenza, 16950, 3"}), con_treno({segnale}), 0, 15,
       5000, false, false},
      {"15 nel treno", l, con_treno({"velocita, 16950, 80"}), 0, 15, 16950, false, false},
      {"15 stazione oltre il margine di 800 m", l, con_treno({stazione(16250, 28, 200)}), 0, 15,
       16250, false, false},
      {"25 valore troppo largo nella linea", linea({}, {"sfondo uno, 99999999999"}), t, 0, 25,
       nessuna_posizione, false, false},
      {"25 somma delle posizioni delle progressive oltre 32 bit",
       linea({}, {"progressiva chilometrica due,    2000000000,    99500,    1",
                  "progressiva chilometrica tre,    1999999950,    95900,    0"}),
       t, 0, 25, nessuna_posizione, false, false},
      {"25 valore troppo largo nel treno", l, con_treno({"sabbia, 40000"}), 0, 25,
       nessuna_posizione, false, false},
      {"25 senza lunghezza del percorso",
       testo({"[generale]", "sfondo uno, 5", "[curve]", "[fine]"}), t, 0, 25, nessuna_posizione,
       false, false},
      {"25 senza lunghezza, con il tracciato", testo({"[generale]", "[curve]", "[fine]"}), t, 1, 25,
       nessuna_posizione, false, false},
      {"25 treno mancante", l, std::nullopt, 0, 25, nessuna_posizione, false, false},
      {"25 limite oltre 255", l, con_treno({"velocita, 0, 1280"}), 0, 25, nessuna_posizione, false,
       false},
      {"25 aderenze ripetute oltre la griglia", l, con_treno(righe(5, "aderenza, 16900, 80")), 0,
       25, nessuna_posizione, false, false},
      {"1277 km/h stanno in un byte", l, con_treno({"velocita, 0, 1277"}), 0, 0, nessuna_posizione,
       false, false},
      {"25 lettura oltre la fine",
       testo({"[generale]", "lunghezza percorso, 10000", "[curve]", "cartello_indicatore, 1000"}),
       t, 0, 25, nessuna_posizione, false, false},
      {"25 campo dopo un commento esaminato anche alla fine",
       testo({"[generale]", "lunghezza percorso, 10000", "- c", "ripetizione segnali 4 codici"}), t,
       0, 25, nessuna_posizione, false, false},
      {"parola chiave senza valori in fondo al file",
       testo({"[generale]", "lunghezza percorso, 10000", "[curve]", "pendenza"}), t, 0, 0,
       nessuna_posizione, false, false},
      {"25 nome troppo lungo", l, con_treno({stazione(0, 28, 200, std::string(70000, 'A'))}), 0, 25,
       nessuna_posizione, false, false},
      {"treno vuoto", l, std::string(), 0, 0, nessuna_posizione, false, false},
      {"treno senza [generale]", l, testo({"stazione, 25, 1, 1"}), 0, 0, nessuna_posizione, false,
       false},
      {"7 codice su cella occupata", l,
       con_treno({"abbattimento, 1000, 1", "abbattimento, 1010, 0"}), 0, 7, 1010, false, false},
      {"26 codice a posizione negativa", l, con_treno({"abbattimento, -500, 1"}), 0, 26, -500,
       false, false},
      {"26 segnale troppo vicino all'inizio", l,
       con_treno({"segnale, 100, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0"}), 0, 26, 100, false, false},
      {"16 segnale su cella occupata", l, con_treno({segnale, segnale}), 0, 16, 5000, false, false},
      {"8 stazione non multipla di 50", l, con_treno({stazione(1025, 28, 200)}), 0, 8, 1025, false,
       false},
      {"9 area non multipla di 100", l, con_treno({stazione(1000, 12, 250)}), 0, 9, 1000, false,
       false},
      {"24 area entro i primi 100 m", l, con_treno({stazione(0, 12, 100)}), 0, 24,
       nessuna_posizione, false, false},
      {"22 a 349 m", l, con_treno({stazione(11400, 27, 200), stazione(11900, 26, 200)}), 0, 22,
       11900, false, false},
      {"350 m accettati", l, con_treno({stazione(11400, 27, 200), stazione(11950, 26, 200)}), 0, 0,
       nessuna_posizione, false, false},
      {"10 con 76 cartelli alla terza stazione", linea(cartelli(76)),
       con_treno({stazione(0, 28, 200), stazione(1000, 28, 200), stazione(2000, 28, 200)}), 0, 10,
       nessuna_posizione, false, false},
      {"26 stazione a posizione negativa", l, con_treno({stazione(-1000, 28, 200)}), 0, 26, -1000,
       false, false},
      {"26 stazione che finisce oltre la griglia", l, con_treno({stazione(16200, 12, 2000)}), 0, 26,
       16200, false, false},
      {"2 progressiva non multipla di 50", linea({}, {"progressiva chilometrica uno, 0, 25, 0"}), t,
       0, 2, nessuna_posizione, false, false},
      {"2 sostituisce un 15",
       linea({"pendenza, 16950, 3"}, {"progressiva chilometrica uno, 0, 25, 0"}), t, 0, 2, 16950,
       false, false},
  };
}

TEST(MemorizzaDati, CodiciDiErrorePosizioniEFileRimasti) {
  for (const caso_errore& c : casi_errore()) {
    SCOPED_TRACE(c.nome);
    banco b(c.genera_linea);
    if (c.linea) b.d.file[b.nomi.sorgente_linea()] = *c.linea;
    if (c.treno) b.d.file[b.nomi.sorgente_treno()] = *c.treno;
    b.s.posizione_errore = nessuna_posizione;
    const esito_io io = memorizza_dati(b.s, b.d);
    EXPECT_TRUE(io.ok);
    EXPECT_EQ(b.s.codice_errore, c.codice);
    EXPECT_EQ(b.s.posizione_errore, c.posizione);
    EXPECT_EQ(b.c_e(b.nomi.sorgente_linea()), c.resta_linea);
    EXPECT_EQ(b.c_e(b.nomi.sorgente_treno()), c.resta_treno);
  }
}

// What a field holds is what its text says: a number only when the whole
// token is one, a text with the spaces before its line end.
TEST(MemorizzaDati, ValoriLettiComeIlTestoLiScrive) {
  struct caso {
    const char* nome;
    std::string linea;
    std::string treno;
    uint8_t pendenza_cella_10;  // the stored gradient + 100
    std::string stazione;       // row 1 nome
  };
  using prova::linea;
  using prova::stazione;
  using prova::treno;
  const std::string s28 = stazione(0, 28, 200, "S");
  const caso casi[] = {
      {"pendenza intera", linea({"pendenza, 0, 15"}), treno({s28}), 115, "S"},
      {"pendenza con decimali", linea({"pendenza, 0, 15.5"}), treno({s28}), 100, "S"},
      {"pendenza con una lettera", linea({"pendenza, 0, 4x"}), treno({s28}), 100, "S"},
      {"pendenza con il segno piu'", linea({"pendenza, 0, +15"}), treno({s28}), 100, "S"},
      {"pendenza negativa", linea({"pendenza, 0, -15"}), treno({s28}), 85, "S"},
      {"nome con spazi prima di fine riga", linea({}), treno({stazione(0, 28, 200, "MORLA  ")}),
       100, "MORLA  "},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(c.linea, c.treno);
    memorizza_dati(b.s, b.d);
    EXPECT_EQ(b.s.codice_errore, 0);
    EXPECT_EQ(b.in(10).pendenza, c.pendenza_cella_10);
    EXPECT_EQ(b.riga(1).nome, c.stazione);
  }
}

// On the longest routes a curve past the plan's end is cut by the 1000000 m
// bound: every point up to it is written, then the parse stops with 103.
TEST(MemorizzaDati, CurvaOltreIlMilionesimoMetroScriveFinoAlLimite) {
  banco b(1);
  b.d.file[b.nomi.sorgente_linea()] =
      prova::linea({"curvad5,  999000,  10000"}, {}, "lunghezza percorso, 1000000");
  b.d.file[b.nomi.sorgente_treno()] = prova::treno({});
  memorizza_dati(b.s, b.d);
  ASSERT_EQ(b.s.codice_errore, 103);
  ASSERT_EQ(b.s.tracciato.fine(), 1007000);
  for (const int32_t m : {999000, 999001, 1000000}) {
    EXPECT_EQ(b.s.tracciato.tipo(m, 0), tipo_valore::doppio) << m;
    EXPECT_EQ(b.s.tracciato.tipo(m, 1), tipo_valore::doppio) << m;
  }
  // The curve turned the track from 999000 on.
  EXPECT_NE(b.s.tracciato.valore(1000000, 0), 0.0);
  EXPECT_EQ(b.s.tracciato.tipo(1000001, 0), tipo_valore::vuoto);
}

// A disk that cannot delete: the failure is returned and recorded as 25.
class disco_senza_cancellazione : public disco_memoria {
 public:
  esito_io elimina(const std::string& nome) override {
    return esito_io::fallito(nome, "permesso negato");
  }
};

TEST(MemorizzaDati, GuastoDelDiscoRestituitoERegistrato) {
  disco_senza_cancellazione d;
  stato s;
  s.nome_linea = "L";
  s.nome_treno = "T";
  const nomi_file nomi{"L", "T"};
  d.file[nomi.sorgente_linea()] = prova::linea({});
  d.file[nomi.sorgente_treno()] = prova::treno({});
  const esito_io io = memorizza_dati(s, d);
  EXPECT_FALSE(io.ok);
  EXPECT_EQ(io.file, "L_linea.txt");
  EXPECT_EQ(io.motivo, "permesso negato");
  EXPECT_EQ(s.codice_errore, 25);
}

}  // namespace
}  // namespace scenario
